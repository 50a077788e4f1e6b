// CSystemTray: the client's icon with its tip in the notification area, kept while the main frame
// lives. The frame receives the icon's mouse messages (WM_TRAY_NOTIFY); this window carries the
// icon animation and a default handling of the icon's messages for a tray of its own.
#pragma once

#include <vector>
#include "AfxWin.h"
#include "TrayIcon.h"

#define WM_TRAY_NOTIFY (WM_USER + 1211)

class CMenu;

class CSystemTray : public CWnd
{
    DECLARE_DYNAMIC(CSystemTray)
public:
    CSystemTray();
    ~CSystemTray() override;

    // Makes the tray's own hidden window and fills the icon record; the icon is not added yet.
    BOOL Create(CWnd* pParent, LPCSTR lpszTip, HICON hIcon);
    // Adds the icon when it is not shown; removes it when it is (the sign-on step's lock and unlock).
    void AddIcon();
    void RemoveIcon();

    BOOL StepAnimation();
    BOOL StopAnimation();
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL m_bTrayEnabled;
    BOOL m_bIconShown;
    NOTIFYICONDATAA m_nid;
    std::vector<HICON> m_animIcons;
    UINT_PTR m_nAnimTimerId;
    int m_nAnimIndex;
    double m_animStart;  // days, as the date-time type keeps them
    BOOL m_bAnimStartValid;
    int m_nAnimSeconds;
    HICON m_hSavedIcon;
    UINT m_nDefaultItem;
    BOOL m_bDefaultByPos;

protected:
    // The icon's menu is the first popup of the menu resource named by the icon's id.
    CMenu* LoadTrayMenu(CMenu& menu) const;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};
