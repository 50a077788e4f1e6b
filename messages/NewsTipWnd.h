// The pop-up tip: a skinned, rounded, topmost tool window of its own window class that shows one
// message at the bottom-right corner of the work area and never takes the focus. It is drawn
// entirely into a back buffer from one skin bitmap; a completed click on one of its four hot items
// (close, view, title, content) goes to the tip box.
#pragma once

#include "AfxWin.h"

#include <string>

// Posted by the tip to itself when press and release fell on one hot item: wParam the item.
#define WM_TIPITEM_CLICK (WM_APP + 106)

class CNewsTipWnd
{
public:
    struct HotItem
    {
        std::string text;
        int index = 0;
        int x = 0, y = 0, width = 0, height = 0;
        RECT rect{};
    };
    enum { ItemClose = 0, ItemView = 1, ItemTitle = 2, ItemContent = 3, ItemCount = 4 };

    CNewsTipWnd();
    CNewsTipWnd(const CNewsTipWnd&) = delete;
    CNewsTipWnd& operator=(const CNewsTipWnd&) = delete;
    virtual ~CNewsTipWnd();

    int Create(const char* caption, HWND hParent, int width, int height);
    int LoadSkin(UINT nBitmapID, COLORREF clrCaption);
    int SetTexts(const char* caption, const char* title, const char* content, const char* url);
    // 1: show at the work area's bottom-right corner without activating; 0: hide.
    void Show(int flag);
    int Redraw();
    BOOL IsVisible() const;
    void Destroy();

    HWND GetSafeHwnd() const { return m_hWnd; }
    const HotItem& Item(int n) const { return m_items[n]; }
    int HoverIndex() const { return m_nHover; }
    int PressedIndex() const { return m_nPressed; }
    const std::string& Url() const { return m_strUrl; }
    // The first hot item that contains the point (client coordinates), or -1.
    int HitTest(POINT pt) const;

protected:
    static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnItemClick(int index);

    int Render();
    void DrawFrame(HDC hdc, const RECT& rc);
    void DrawButton(HDC hdc, int index);
    void DrawItemText(HDC hdc, int index);
    void SetItems(int w, int h);
    void ReleaseBackBuffer();
    void ReleaseSkin();
    void SetCurrentCursor(HCURSOR hCursor);

    HWND m_hWnd = nullptr;
    HWND m_hParent = nullptr;
    HotItem m_items[ItemCount];
    int m_nItems = 0;
    HCURSOR m_hArrow = nullptr;
    HCURSOR m_hHand = nullptr;
    HCURSOR m_hCursor = nullptr;
    HICON m_hIcon = nullptr;
    HDC m_hSkinDC = nullptr;
    HBITMAP m_hSkin = nullptr;
    HGDIOBJ m_hSkinOld = nullptr;
    HDC m_hBackDC = nullptr;
    HBITMAP m_hBack = nullptr;
    HGDIOBJ m_hBackOld = nullptr;
    HFONT m_hFont = nullptr;
    HFONT m_hBoldFont = nullptr;
    COLORREF m_clrCaption = 0;
    int m_nHover = -1;
    int m_nPressed = -1;
    int m_bHideOnClick = 1;
    int m_bTracking = 0;
    std::string m_strUrl;
};
