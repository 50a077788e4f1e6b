#include "NewsInterface.h"

#include "CritSec.h"
#include "Guid.h"
#include "NewsBox.h"
#include "NewsComponent.h"
#include "NewsStore.h"

#include <cstdio>
#include <cstring>

namespace {
CNewsBox* g_pTipBox = nullptr;
CNewsStore* g_pNewsStore = nullptr;
}

CNewsBox* NewsTipBox() { return g_pTipBox; }
CNewsStore* NewsStore() { return g_pNewsStore; }

CNewsInterface* CNewsInterface::singelNewsInterface = nullptr;
CCritSec CNewsInterface::m_lock;

CNewsInterface* CNewsInterface::GetInstance()
{
    CAutoLock guard(m_lock);
    if (!singelNewsInterface)
        singelNewsInterface = new CNewsInterface;
    return singelNewsInterface;
}

CNewsInterface::~CNewsInterface()
{
    delete g_pNewsStore;
    g_pNewsStore = nullptr;
    delete g_pTipBox;
    g_pTipBox = nullptr;
    // A host that deletes the instance gets a new one from GetInstance, never a dangling one.
    CAutoLock guard(m_lock);
    if (singelNewsInterface == this)
        singelNewsInterface = nullptr;
}

int CNewsInterface::InitNewsInterface(const char* dbPath, const char* user, HWND hHost)
{
    // A second start would leave the first tip, dialogs and connection behind: the component
    // starts once per process.
    if (g_pTipBox)
        return 0;
    g_pTipBox = new CNewsBox;
    g_pTipBox->Create(hHost);
    g_pNewsStore = new CNewsStore(dbPath ? dbPath : "");
    g_pNewsStore->user = user ? user : "";
    g_pNewsStore->m_recordBox.Create(hHost);
    g_pNewsStore->LoadUnread(g_pTipBox);
    g_pTipBox->ShowTipFor(0);
    return 1;
}

int CNewsInterface::VerifyPStr(const char* psz)
{
    return psz && *psz ? 1 : 0;
}

int CNewsInterface::AddNews(int type, const char* title, const char* content, const char* remindType,
                            const char* url, const char* strClass, const char* occurTime)
{
    if (!g_pTipBox || !g_pNewsStore)
        return 0;
    if (!VerifyPStr(title) || !VerifyPStr(content) || !VerifyPStr(remindType) || !VerifyPStr(strClass))
        return 0;
    if (!VerifyPStr(occurTime))
        return 0;
    if (std::strcmp(remindType, "web") == 0 && !VerifyPStr(url))
        return 0;

    CNewsItem* pItem = new CNewsItem;
    GUID guid{};
    CoCreateGuid(&guid);
    // Blank-padded, so the id is always 32 characters.
    char id[40];
    std::snprintf(id, sizeof(id), "%8X%4X%4X%2X%2X%2X%2X%2X%2X%2X%2X", (unsigned)guid.Data1, (unsigned)guid.Data2,
                  (unsigned)guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                  guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    pItem->id = id;
    pItem->type = type;
    pItem->title = title;
    pItem->content = content;
    pItem->remindType = remindType;
    pItem->url = url ? url : "";
    pItem->m_class = strClass;
    pItem->occurTime = occurTime;

    g_pTipBox->Append(pItem);
    // A row the database refuses is still queued and shown.
    g_pNewsStore->Insert(pItem);
    if (g_pTipBox->Count() == 1)
        g_pTipBox->ShowTipFor(0);
    return 1;
}

void CNewsInterface::SetUser(const char* user)
{
    // An empty name replaces the stored one too: the rows then stored and read are those of no user.
    if (g_pNewsStore)
        g_pNewsStore->user = user ? user : "";
}

void CNewsInterface::ShowNewsTip()
{
    if (g_pTipBox)
        g_pTipBox->ShowTip();
}

int CNewsInterface::HideNewsTip()
{
    return g_pTipBox ? g_pTipBox->HideTip() : 0;
}

int CNewsInterface::ShowRecord()
{
    if (!g_pNewsStore)
        return 0;
    g_pNewsStore->Load("");
    g_pNewsStore->m_recordBox.FillTreeAndShow();
    return 1;
}
