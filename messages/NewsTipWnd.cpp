#include "NewsTipWnd.h"

#include "NewsBox.h"
#include "NewsComponent.h"
#include "ShellFileInfo.h"
#include "X11Window.h"
#include "SystemInfo.h"

namespace {
const char* const kClassName = "Quorv_MiniNews";
const char* const kObjectProp = "QuorvClassPtr";
const COLORREF kTransparent = RGB(255, 0, 255);
const COLORREF kTextNormal = RGB(12, 78, 124);
const COLORREF kTextHover = RGB(22, 122, 235);
}

CNewsTipWnd::CNewsTipWnd()
{
    m_hArrow = ::LoadCursor(nullptr, IDC_ARROW);
    m_hHand = ::LoadCursor(nullptr, IDC_HAND);
    m_hCursor = m_hArrow;
}

CNewsTipWnd::~CNewsTipWnd()
{
    Destroy();
    ReleaseSkin();
    if (m_hBoldFont)
        ::DeleteObject((HGDIOBJ)m_hBoldFont);
}

void CNewsTipWnd::Destroy()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::RemoveProp(m_hWnd, kObjectProp);
        ::DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
    ReleaseBackBuffer();
}

int CNewsTipWnd::Create(const char* caption, HWND hParent, int width, int height)
{
    if (m_hWnd) {
        if (::IsWindow(m_hWnd))
            return 0;
        m_hWnd = nullptr;
    }
    HINSTANCE hInstance = ::GetModuleHandle(nullptr);
    if (!m_hIcon) {
        char path[1024] = "";
        ::GetModuleFileName(nullptr, path, sizeof(path));
        SHFILEINFO info{};
        if (::SHGetFileInfo(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
            m_hIcon = info.hIcon;
    }
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoEx(hInstance, kClassName, &wc)) {
        wc = WNDCLASSEX{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &CNewsTipWnd::StaticWndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(UINT_PTR)(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        wc.hIconSm = m_hIcon;
        if (!::RegisterClassEx(&wc))
            return 0;
    }
    m_hParent = hParent;
    HWND hWnd = ::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, caption, WS_POPUP | WS_SYSMENU, 0, 0,
                                 width, height, hParent, nullptr, hInstance, nullptr);
    if (!hWnd)
        return 0;
    m_hWnd = hWnd;
    ::SetProp(hWnd, kObjectProp, (HANDLE)this);
    SetItems(width, height);
    ::SetWindowRgn(hWnd, ::CreateRoundRectRgn(0, 0, width + 1, height + 1, 5, 5), TRUE);
    return 1;
}

void CNewsTipWnd::SetItems(int w, int h)
{
    const int geometry[ItemCount][4] = {
        {w - 40, 1, 40, 18},       // close
        {w - 55, h - 25, 50, 20},  // view
        {8, 26, w - 16, 20},       // title
        {8, 51, w - 16, h - 86},   // content
    };
    for (int i = 0; i < ItemCount; ++i) {
        HotItem& it = m_items[i];
        it.text.clear();
        it.index = i;
        it.x = geometry[i][0];
        it.y = geometry[i][1];
        it.width = geometry[i][2];
        it.height = geometry[i][3];
        it.rect = RECT{it.x, it.y, it.x + it.width, it.y + it.height};
    }
    m_nItems = ItemCount;
}

int CNewsTipWnd::LoadSkin(UINT nBitmapID, COLORREF clrCaption)
{
    HBITMAP hSkin = ::LoadBitmap(::GetModuleHandle(nullptr), MAKEINTRESOURCE(nBitmapID));
    if (!hSkin)
        return 0;
    if (m_hSkinDC && m_hSkinOld)
        ::SelectObject(m_hSkinDC, m_hSkinOld);
    if (m_hSkin)
        ::DeleteObject((HGDIOBJ)m_hSkin);
    if (!m_hSkinDC) {
        HDC hScreen = ::GetDC(nullptr);
        m_hSkinDC = ::CreateCompatibleDC(hScreen);
        ::ReleaseDC(nullptr, hScreen);
    }
    m_hSkin = hSkin;
    m_hSkinOld = ::SelectObject(m_hSkinDC, (HGDIOBJ)hSkin);
    m_clrCaption = clrCaption;
    Redraw();
    return 1;
}

void CNewsTipWnd::ReleaseSkin()
{
    if (m_hSkinDC) {
        if (m_hSkinOld)
            ::SelectObject(m_hSkinDC, m_hSkinOld);
        ::DeleteDC(m_hSkinDC);
    }
    if (m_hSkin)
        ::DeleteObject((HGDIOBJ)m_hSkin);
    m_hSkinDC = nullptr;
    m_hSkin = nullptr;
    m_hSkinOld = nullptr;
}

void CNewsTipWnd::ReleaseBackBuffer()
{
    if (m_hBackDC) {
        if (m_hBackOld)
            ::SelectObject(m_hBackDC, m_hBackOld);
        ::DeleteDC(m_hBackDC);
    }
    if (m_hBack)
        ::DeleteObject((HGDIOBJ)m_hBack);
    m_hBackDC = nullptr;
    m_hBack = nullptr;
    m_hBackOld = nullptr;
}

int CNewsTipWnd::SetTexts(const char* caption, const char* title, const char* content, const char* url)
{
    if (!m_hWnd || m_nItems < ItemCount)
        return 0;
    m_items[ItemTitle].text = title ? title : "";
    m_items[ItemContent].text = content ? content : "";
    m_strUrl = url ? url : "";
    ::SetWindowText(m_hWnd, caption ? caption : "");
    Redraw();
    return 1;
}

BOOL CNewsTipWnd::IsVisible() const
{
    return m_hWnd && ::IsWindowVisible(m_hWnd);
}

void CNewsTipWnd::Show(int flag)
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    if (!flag) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        Redraw();
        return;
    }
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    RECT work{};
    ::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, work.right - w, work.bottom - h, w, h, SWP_NOACTIVATE);
    ::UpdateWindow(m_hWnd);
    Redraw();
}

int CNewsTipWnd::Redraw()
{
    if (!m_hWnd)
        return 0;
    if (!::IsWindow(m_hWnd)) {
        m_hWnd = nullptr;
        return 0;
    }
    if (!Render())
        return 0;
    if (::IsWindowVisible(m_hWnd)) {
        RECT rc{};
        ::GetClientRect(m_hWnd, &rc);
        HDC hdc = ::GetDC(m_hWnd);
        ::BitBlt(hdc, 0, 0, rc.right, rc.bottom, m_hBackDC, 0, 0, SRCCOPY);
        ::ReleaseDC(m_hWnd, hdc);
    }
    return 1;
}

int CNewsTipWnd::Render()
{
    if (!m_hSkinDC || !m_hWnd)
        return 0;
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    if (!m_hBackDC) {
        HDC hScreen = ::GetDC(nullptr);
        m_hBackDC = ::CreateCompatibleDC(hScreen);
        m_hBack = ::CreateCompatibleBitmap(hScreen, rc.right - rc.left, rc.bottom - rc.top);
        ::ReleaseDC(nullptr, hScreen);
        m_hBackOld = ::SelectObject(m_hBackDC, (HGDIOBJ)m_hBack);
        ::SetBkMode(m_hBackDC, TRANSPARENT);
    }
    if (!m_hFont) {
        m_hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
        LOGFONT lf{};
        ::GetObject((HGDIOBJ)m_hFont, sizeof(lf), &lf);
        lf.lfWeight = FW_BOLD;
        m_hBoldFont = ::CreateFontIndirect(&lf);
    }
    DrawFrame(m_hBackDC, rc);

    // Caption: the window's small icon (else the program's), then its text.
    RECT rcCaption{8, 5, rc.right - 50, 21};
    HICON hIcon = (HICON)::SendMessage(m_hWnd, WM_GETICON, ICON_SMALL, 0);
    if (!hIcon)
        hIcon = m_hIcon;
    if (hIcon) {
        ::DrawIconEx(m_hBackDC, 8, 5, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
        rcCaption.left = 33;
    }
    char caption[256] = "";
    ::GetWindowText(m_hWnd, caption, sizeof(caption));
    if (caption[0]) {
        HGDIOBJ old = ::SelectObject(m_hBackDC, (HGDIOBJ)m_hFont);
        ::SetTextColor(m_hBackDC, m_clrCaption);
        ::DrawText(m_hBackDC, caption, -1, &rcCaption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_WORD_ELLIPSIS);
        ::SelectObject(m_hBackDC, old);
    }
    DrawButton(m_hBackDC, ItemClose);
    DrawButton(m_hBackDC, ItemView);
    DrawItemText(m_hBackDC, ItemTitle);
    DrawItemText(m_hBackDC, ItemContent);
    return 1;
}

void CNewsTipWnd::DrawFrame(HDC hdc, const RECT& rc)
{
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    HDC s = m_hSkinDC;
    ::TransparentBlt(hdc, L, T, 35, 25, s, 0, 0, 35, 25, kTransparent);
    ::TransparentBlt(hdc, R - 35, T, 35, 25, s, 45, 0, 35, 25, kTransparent);
    ::TransparentBlt(hdc, L, B - 30, 35, 30, s, 0, 30, 35, 30, kTransparent);
    ::TransparentBlt(hdc, R - 35, B - 30, 35, 30, s, 45, 30, 35, 30, kTransparent);
    ::StretchBlt(hdc, L + 35, T, R - L - 70, 25, s, 35, 0, 10, 25, SRCCOPY);
    ::StretchBlt(hdc, L + 35, B - 30, R - L - 70, 30, s, 35, 30, 10, 30, SRCCOPY);
    ::StretchBlt(hdc, L, T + 25, 35, B - T - 55, s, 0, 25, 35, 5, SRCCOPY);
    ::StretchBlt(hdc, R - 35, T + 25, 35, B - T - 55, s, 45, 25, 35, 5, SRCCOPY);
    ::StretchBlt(hdc, L + 35, T + 25, R - L - 70, B - T - 55, s, 35, 25, 10, 5, SRCCOPY);
}

void CNewsTipWnd::DrawButton(HDC hdc, int index)
{
    const HotItem& it = m_items[index];
    int srcX = 0;
    if (m_nPressed == index)
        srcX = 2 * it.width;
    else if (m_nHover == index)
        srcX = it.width;
    int srcY = index == ItemClose ? 60 : 80;
    ::BitBlt(hdc, it.x, it.y, it.width, it.height, m_hSkinDC, srcX, srcY, SRCCOPY);
}

void CNewsTipWnd::DrawItemText(HDC hdc, int index)
{
    const HotItem& it = m_items[index];
    if (it.text.empty())
        return;
    ::SetTextColor(hdc, m_nHover == index ? kTextHover : kTextNormal);
    RECT rc = it.rect;
    UINT format = index == ItemTitle ? DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_WORD_ELLIPSIS
                                     : DT_WORDBREAK | DT_NOPREFIX | DT_WORD_ELLIPSIS;
    HGDIOBJ old = ::SelectObject(hdc, (HGDIOBJ)(index == ItemTitle ? m_hBoldFont : m_hFont));
    ::DrawText(hdc, it.text.c_str(), -1, &rc, format);
    ::SelectObject(hdc, old);
}

int CNewsTipWnd::HitTest(POINT pt) const
{
    for (int i = 0; i < m_nItems; ++i) {
        const RECT& r = m_items[i].rect;
        if (pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom)
            return i;
    }
    return -1;
}

void CNewsTipWnd::SetCurrentCursor(HCURSOR hCursor)
{
    if (m_hCursor == hCursor)
        return;
    m_hCursor = hCursor;
    ::SetCursor(hCursor);
}

LRESULT CALLBACK CNewsTipWnd::StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CNewsTipWnd* pThis = (CNewsTipWnd*)::GetProp(hWnd, kObjectProp);
    if (pThis && pThis->m_hWnd == hWnd)
        return pThis->WindowProc(msg, wParam, lParam);
    return ::DefWindowProc(hWnd, msg, wParam, lParam);
}

LRESULT CNewsTipWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = m_hWnd;
    switch (msg) {
    case WM_ERASEBKGND:
        if (m_hBackDC || Render()) {
            RECT rc{};
            ::GetClientRect(hWnd, &rc);
            ::BitBlt((HDC)wParam, 0, 0, rc.right, rc.bottom, m_hBackDC, 0, 0, SRCCOPY);
            return 1;
        }
        break;
    case WM_PAINT:
        if (m_hBackDC || Render()) {
            PAINTSTRUCT ps{};
            HDC hdc = ::BeginPaint(hWnd, &ps);
            const RECT& r = ps.rcPaint;
            ::BitBlt(hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_hBackDC, r.left, r.top, SRCCOPY);
            ::EndPaint(hWnd, &ps);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        ::SetCursor(m_hCursor);
        return TRUE;
    case WM_MOUSEMOVE: {
        LRESULT r = ::DefWindowProc(hWnd, msg, wParam, lParam);
        if (!m_bTracking) {
            TRACKMOUSEEVENT tme{};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_LEAVE | TME_HOVER;
            tme.hwndTrack = hWnd;
            tme.dwHoverTime = 1;
            m_bTracking = ::TrackMouseEvent(&tme) ? 1 : 0;
        }
        int hit = HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hit != m_nHover) {
            m_nHover = hit;
            Redraw();
            SetCurrentCursor(hit >= ItemView ? m_hHand : m_hArrow);
        }
        return r;
    }
    case WM_LBUTTONDOWN: {
        LRESULT r = ::DefWindowProc(hWnd, msg, wParam, lParam);
        int hit = HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hit != m_nPressed) {
            m_nPressed = hit;
            Redraw();
        }
        if (hit < 0) {
            // Outside the hot items the tip is dragged by its "caption".
            ::ReleaseCapture();
            ::SendMessage(hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        }
        return r;
    }
    case WM_LBUTTONUP: {
        LRESULT r = ::DefWindowProc(hWnd, msg, wParam, lParam);
        if (m_nPressed < 0)
            return r;
        if (HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == m_nPressed)
            ::PostMessage(hWnd, WM_TIPITEM_CLICK, (WPARAM)m_nPressed, lParam);
        m_nPressed = -1;
        Redraw();
        return r;
    }
    case WM_MOUSEHOVER:
        break;
    case WM_MOUSELEAVE:
        if (m_nHover >= 0 || m_nPressed >= 0) {
            m_nHover = -1;
            m_nPressed = -1;
            Redraw();
        }
        m_bTracking = 0;
        break;
    case WM_DESTROY: {
        LRESULT r = ::DefWindowProc(hWnd, msg, wParam, lParam);
        m_nItems = 0;
        m_nHover = -1;
        m_nPressed = -1;
        ReleaseBackBuffer();
        m_strUrl.clear();
        m_bTracking = 0;
        return r;
    }
    case WM_TIPITEM_CLICK:
        return OnItemClick((int)wParam);
    default:
        break;
    }
    return ::DefWindowProc(hWnd, msg, wParam, lParam);
}

LRESULT CNewsTipWnd::OnItemClick(int index)
{
    if (index < 0 || index >= m_nItems)
        return 0;
    CNewsBox* pTipBox = NewsTipBox();
    if (index == ItemClose) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    } else {
        if (m_bHideOnClick)
            ::ShowWindow(m_hWnd, SW_HIDE);
        if (pTipBox)
            pTipBox->NotifyHost(0);
    }
    if (pTipBox)
        pTipBox->MarkRead(0);
    return 0;
}
