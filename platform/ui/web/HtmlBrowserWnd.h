// CHtmlBrowserWnd: the browser control, a child window that shows one WebKitWebView. Its widget
// is a GTK box wrapped for wx, so that the web view inside can be exchanged (a page's new window
// must be a web view made for it). Destroying it tells the parent with WM_PARENTNOTIFY
// (WM_DESTROY in the low word, the control's handle in lParam) before it goes.
#pragma once

#include "CWnd.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GtkWidget GtkWidget;

class CHtmlBrowserWnd : public CWnd
{
    DECLARE_DYNAMIC(CHtmlBrowserWnd)
public:
    CHtmlBrowserWnd();
    ~CHtmlBrowserWnd() override;

    // Creates the window around pView (the window keeps a reference of it).
    BOOL CreateBrowser(WebKitWebView* pView, CWnd* pParent, UINT nID);
    WebKitWebView* GetWebView() const { return m_pView; }
    // Puts pView in place of the current web view, which is destroyed.
    void ReplaceWebView(WebKitWebView* pView);
    // The data with which the owner connected its handlers to the web view: they are
    // disconnected when the web view goes.
    void* m_pSignalData = nullptr;

protected:
    wxWindow* CreateWxWindow(const CREATESTRUCT& cs, wxWindow* pParent) override;
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void DropWebView();
    GtkWidget* m_pBox;
    WebKitWebView* m_pView;
};
