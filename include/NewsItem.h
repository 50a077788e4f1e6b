// One message: one row of the table "dbMsgRecord". Shared in place between Murmel and Parvel,
// so the fields, their order and types are part of the interface between the two.
#pragma once

#include <string>

class CNewsItem
{
public:
    std::string id;
    std::string user;
    int type = 11;
    std::string title;
    std::string content;
    std::string remindType = "dialog";
    std::string url;
    std::string m_class = "aaa/bbb/ccc/ddd/";
    std::string occurTime;
    int isRead = 1;

    std::string GetId() const { return id; }
    std::string GetTitle() const { return title; }
    std::string GetContent() const { return content; }
    std::string GetRemindType() const { return remindType; }
    std::string GetUrl() const { return url; }
    std::string GetClass() const { return m_class; }
    std::string GetOccurTime() const { return occurTime; }
    void SetId(std::string v) { id = std::move(v); }
    void SetTitle(std::string v) { title = std::move(v); }
    void SetContent(std::string v) { content = std::move(v); }
    void SetRemindType(std::string v) { remindType = std::move(v); }
    void SetUrl(std::string v) { url = std::move(v); }
    void SetClass(std::string v) { m_class = std::move(v); }
    void SetOccurTime(std::string v) { occurTime = std::move(v); }
};
