// The local message database: table "dbMsgRecord", one row per message of the component.
// Every database failure is written to standard output and turned into the failure result.
#pragma once

#include "CppSQLite3DB.h"
#include "NewsBox.h"

#include <string>

class CNewsStore
{
public:
    explicit CNewsStore(const char* dbPath);
    CNewsStore(const CNewsStore&) = delete;
    CNewsStore& operator=(const CNewsStore&) = delete;
    virtual ~CNewsStore();

    bool Insert(const CNewsItem* pItem);
    // Replaces the record box's items with the rows of the query; empty text: all rows of the user.
    int Load(const std::string& sql);
    // Appends the user's unread rows to the target box.
    bool LoadUnread(CNewsBox* pBox);
    // Runs a delete statement (empty: the user's read rows), then empties the record box.
    int Delete(const std::string& sql);
    int Exec(const std::string& sql);

    // Statements the tip and the history dialog hand to the store, their texts quoted.
    static std::string MarkReadStatement(const std::string& id);
    static std::string SelectClassStatement(const std::string& user, const std::string& path);
    static std::string DeleteClassStatement(const std::string& user, const std::string& path);

    std::string user;
    CppSQLite3DB m_db;
    CNewsBox m_recordBox;
};
