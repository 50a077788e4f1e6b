// CSystemTray: the notification-area icon.
#include <sys/time.h>
#include <cmath>
#include <cstring>
#include "SystemTray.h"
#include "CMenu.h"
#include "SystemInfo.h"

IMPLEMENT_DYNAMIC(CSystemTray, CWnd)

BEGIN_MESSAGE_MAP(CSystemTray, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace
{
// Now as the date-time type counts it: days since 1899-12-30.
double NowInDays()
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    return ((double)tv.tv_sec + tv.tv_usec / 1e6) / 86400.0 + 25569.0;
}
}  // namespace

CSystemTray::CSystemTray()
    : m_bTrayEnabled(FALSE), m_bIconShown(FALSE), m_nAnimTimerId(0), m_nAnimIndex(0), m_animStart(0.0),
      m_bAnimStartValid(TRUE), m_nAnimSeconds(0), m_hSavedIcon(nullptr), m_nDefaultItem(0), m_bDefaultByPos(TRUE)
{
    memset(&m_nid, 0, sizeof(m_nid));
    m_nid.cbSize = sizeof(m_nid);
}

CSystemTray::~CSystemTray()
{
    if (m_bTrayEnabled)
    {
        m_nid.uFlags = 0;
        Shell_NotifyIconA(NIM_DELETE, &m_nid);
        m_bTrayEnabled = FALSE;
    }
    m_animIcons.clear();
    if (GetSafeHwnd())
        DestroyWindow();
}

BOOL CSystemTray::Create(CWnd* pParent, LPCSTR lpszTip, HICON hIcon)
{
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (!GetVersionExA(&vi) || vi.dwMajorVersion < 4)
        return FALSE;
    m_bTrayEnabled = TRUE;
    CWnd::CreateEx(0, "SystemTray", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = pParent && pParent->GetSafeHwnd() ? pParent->GetSafeHwnd() : GetSafeHwnd();
    m_nid.uID = 128;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
    m_nid.hIcon = hIcon;
    // The tip field holds 127 bytes; a longer tip is cut there, never past the field.
    const char* tip = lpszTip ? lpszTip : "";
    size_t n = strnlen(tip, sizeof(m_nid.szTip) - 1);
    // Not in the middle of a two-byte character.
    size_t lead = 0;
    for (size_t i = 0; i < n; ++i)
        lead = ((unsigned char)tip[i] >= 0x81 && lead == 0) ? 1 : 0;
    if (lead)
        --n;
    memcpy(m_nid.szTip, tip, n);
    m_nid.szTip[n] = '\0';
    return TRUE;
}

void CSystemTray::AddIcon()
{
    if (m_bTrayEnabled && !m_bIconShown)
    {
        m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        Shell_NotifyIconA(NIM_ADD, &m_nid);
        m_bIconShown = TRUE;
    }
}

void CSystemTray::RemoveIcon()
{
    if (m_bTrayEnabled && m_bIconShown)
    {
        m_nid.uFlags = NIF_ICON;
        Shell_NotifyIconA(NIM_DELETE, &m_nid);
        m_bIconShown = FALSE;
    }
}

BOOL CSystemTray::StepAnimation()
{
    if (m_animIcons.empty())
        return FALSE;
    if (++m_nAnimIndex >= (int)m_animIcons.size())
        m_nAnimIndex = 0;
    if (!m_bTrayEnabled)
        return FALSE;
    m_nid.uFlags = NIF_ICON;
    m_nid.hIcon = m_animIcons[(size_t)m_nAnimIndex];
    return Shell_NotifyIconA(NIM_MODIFY, &m_nid);
}

BOOL CSystemTray::StopAnimation()
{
    BOOL bResult = FALSE;
    if (m_nAnimTimerId)
        bResult = KillTimer(m_nAnimTimerId);
    m_nAnimTimerId = 0;
    if (m_hSavedIcon && m_bTrayEnabled)
    {
        m_nid.uFlags = NIF_ICON;
        m_nid.hIcon = m_hSavedIcon;
        Shell_NotifyIconA(NIM_MODIFY, &m_nid);
    }
    m_hSavedIcon = nullptr;
    return bResult;
}

void CSystemTray::OnTimer(UINT_PTR)
{
    long elapsed = std::lround((NowInDays() - m_animStart) * 86400.0);
    if (m_nAnimSeconds > 0 && elapsed > m_nAnimSeconds)
        StopAnimation();
    else
        StepAnimation();
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_nid.uCallbackMessage && message == m_nid.uCallbackMessage)
        return OnTrayNotification(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

CMenu* CSystemTray::LoadTrayMenu(CMenu& menu) const
{
    if (!menu.LoadMenu(m_nid.uID))
        return nullptr;
    return menu.GetSubMenu(0);
}

LRESULT CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if ((UINT)wParam != m_nid.uID)
        return 0;
    CWnd* pMain = AfxGetMainWnd();
    if (LOWORD(lParam) == WM_RBUTTONUP)
    {
        CMenu menu;
        CMenu* pSub = LoadTrayMenu(menu);
        if (!pSub)
            return 0;
        pSub->SetDefaultItem(m_nDefaultItem, m_bDefaultByPos);
        POINT pos;
        GetCursorPos(&pos);
        if (pMain)
        {
            pMain->SetForegroundWindow();
            pSub->TrackPopupMenu(0, pos.x, pos.y, pMain);
            pMain->PostMessage(WM_NULL);
        }
        return 1;
    }
    if (LOWORD(lParam) == WM_LBUTTONDBLCLK)
    {
        if (pMain)
            pMain->SetForegroundWindow();
        UINT uItem = m_nDefaultItem;
        if (m_bDefaultByPos)
        {
            CMenu menu;
            CMenu* pSub = LoadTrayMenu(menu);
            if (!pSub)
                return 0;
            uItem = pSub->GetMenuItemID((int)m_nDefaultItem);
        }
        if (pMain)
            pMain->SendMessage(WM_COMMAND, uItem, 0);
        return 1;
    }
    return 1;
}
