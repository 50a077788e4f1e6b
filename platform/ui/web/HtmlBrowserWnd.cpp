#include <wx/wx.h>
#include <wx/nativewin.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include "HtmlBrowserWnd.h"

IMPLEMENT_DYNAMIC(CHtmlBrowserWnd, CWnd)

BEGIN_MESSAGE_MAP(CHtmlBrowserWnd, CWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CHtmlBrowserWnd::CHtmlBrowserWnd() : m_pBox(nullptr), m_pView(nullptr) {}

CHtmlBrowserWnd::~CHtmlBrowserWnd()
{
    DropWebView();
    if (m_pBox)
    {
        GtkWidget* pBox = m_pBox;
        g_object_remove_weak_pointer(G_OBJECT(pBox), reinterpret_cast<gpointer*>(&m_pBox));
        m_pBox = nullptr;
        gtk_widget_destroy(pBox);
        g_object_unref(pBox);
    }
}

BOOL CHtmlBrowserWnd::CreateBrowser(WebKitWebView* pView, CWnd* pParent, UINT nID)
{
    m_pView = pView;
    g_object_ref_sink(m_pView);
    if (!Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent, nID))
    {
        DropWebView();
        return FALSE;
    }
    return TRUE;
}

wxWindow* CHtmlBrowserWnd::CreateWxWindow(const CREATESTRUCT&, wxWindow* pParent)
{
    if (!pParent || !m_pView)
        return nullptr;
    m_pBox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    // wx destroys the box with its window and drops its own reference; ours keeps the box until
    // this object goes (not disowned: a disowned wx window would drop our reference as well).
    g_object_ref_sink(m_pBox);
    g_object_add_weak_pointer(G_OBJECT(m_pBox), reinterpret_cast<gpointer*>(&m_pBox));
    gtk_box_pack_start(GTK_BOX(m_pBox), GTK_WIDGET(m_pView), TRUE, TRUE, 0);
    gtk_widget_show(GTK_WIDGET(m_pView));
    gtk_widget_show(m_pBox);
    return new wxNativeWindow(pParent, wxID_ANY, m_pBox);
}

void CHtmlBrowserWnd::ReplaceWebView(WebKitWebView* pView)
{
    g_object_ref_sink(pView);
    DropWebView();
    m_pView = pView;
    if (m_pBox)
    {
        gtk_box_pack_start(GTK_BOX(m_pBox), GTK_WIDGET(m_pView), TRUE, TRUE, 0);
        gtk_widget_show(GTK_WIDGET(m_pView));
    }
}

void CHtmlBrowserWnd::DropWebView()
{
    if (!m_pView)
        return;
    WebKitWebView* pView = m_pView;
    m_pView = nullptr;
    if (m_pSignalData)
    {
        g_signal_handlers_disconnect_by_data(pView, m_pSignalData);
        g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(pView), m_pSignalData);
    }
    g_object_set_data(G_OBJECT(pView), "parvel-html-host", nullptr);
    if (m_pBox && gtk_widget_get_parent(GTK_WIDGET(pView)) == m_pBox)
        gtk_container_remove(GTK_CONTAINER(m_pBox), GTK_WIDGET(pView));
    g_object_unref(pView);
}

void CHtmlBrowserWnd::OnDestroy()
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, GetDlgCtrlID()), (LPARAM)GetSafeHwnd());
    DropWebView();
    CWnd::OnDestroy();
}
