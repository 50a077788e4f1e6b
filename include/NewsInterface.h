// The message component's one exported class. The host hands messages over with AddNews; a
// message the operator clicks comes back to the host window as WM_SHOWNEWS.
#pragma once

#include "NewsItem.h"
#include "WinUser.h"

// Sent (not posted) to the host window: wParam 0, lParam a CNewsItem* that the component owns and
// that is valid only while the host handles the message.
#define WM_SHOWNEWS (WM_USER + 900)

#define MURMEL_API __attribute__((visibility("default")))

class CCritSec;

class MURMEL_API CNewsInterface
{
public:
    static CNewsInterface* GetInstance();

    // Starts the component: tip, database, user, history dialog, the user's unread messages.
    int InitNewsInterface(const char* dbPath, const char* user, HWND hHost);
    // 1 accepted (stored and queued), 0 refused.
    int AddNews(int type, const char* title, const char* content, const char* remindType, const char* url,
                const char* strClass, const char* occurTime);
    void SetUser(const char* user);
    void ShowNewsTip();
    int HideNewsTip();
    int ShowRecord();

    CNewsInterface(const CNewsInterface&) {}
    CNewsInterface& operator=(const CNewsInterface&) { return *this; }
    virtual ~CNewsInterface();

private:
    CNewsInterface() = default;
    int VerifyPStr(const char* psz);

    static CNewsInterface* singelNewsInterface;
    static CCritSec m_lock;
};
