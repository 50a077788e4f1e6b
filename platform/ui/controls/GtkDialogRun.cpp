#include "GtkDialogRun.h"

#include <wx/wx.h>
#include <wx/evtloop.h>
#include <gtk/gtk.h>
#include <condition_variable>
#include <mutex>
#include "CWinApp.h"
#include "WndRecord.h"

namespace
{
struct DialogRun
{
    std::mutex lock;
    std::condition_variable cond;
    bool bDone = false;
    int nResponse = GTK_RESPONSE_NONE;
    const std::function<void(GtkWidget*, int)>* pTake = nullptr;
    wxGUIEventLoop* pLoop = nullptr;  // the nested loop when run on the GUI thread
};

void OnResponse(GtkDialog* pDialog, gint nResponse, gpointer pData)
{
    DialogRun* pRun = (DialogRun*)pData;
    // One answer: the run lives on the caller's stack only until it has it.
    g_signal_handlers_disconnect_by_func(pDialog, (gpointer)OnResponse, pData);
    (*pRun->pTake)(GTK_WIDGET(pDialog), nResponse);
    gtk_widget_destroy(GTK_WIDGET(pDialog));
    std::lock_guard<std::mutex> guard(pRun->lock);
    pRun->nResponse = nResponse;
    pRun->bDone = true;
    if (pRun->pLoop)
        pRun->pLoop->ScheduleExit();
    pRun->cond.notify_all();
}
}  // namespace

int RunGtkDialog(const std::function<GtkWidget*()>& make, const std::function<void(GtkWidget*, int)>& take)
{
    DialogRun run;
    run.pTake = &take;
    const bool bOnGui = AfxIsGuiThread() != FALSE;
    wxGUIEventLoop* pLoop = nullptr;
    bool bShown = false;
    RunOnGui([&] {
        GtkWidget* pDialog = make();
        if (!pDialog)
            return;
        gtk_window_set_modal(GTK_WINDOW(pDialog), TRUE);
        if (bOnGui)
        {
            pLoop = new wxGUIEventLoop;
            run.pLoop = pLoop;
        }
        g_signal_connect(pDialog, "response", G_CALLBACK(OnResponse), &run);
        gtk_window_present(GTK_WINDOW(pDialog));
        bShown = true;
    });
    if (!bShown)
        return GTK_RESPONSE_NONE;
    if (bOnGui)
    {
        if (!run.bDone)
            pLoop->Run();
        delete pLoop;
    }
    else
    {
        std::unique_lock<std::mutex> guard(run.lock);
        run.cond.wait(guard, [&] { return run.bDone; });
    }
    return run.nResponse;
}

GtkWindow* GtkOwnerWindow(CWnd* pParent)
{
    CWnd* pOwner = pParent;
    if (!pOwner && AfxGetApp())
        pOwner = AfxGetApp()->m_pMainWnd;
    if (!pOwner || !::IsWindow(pOwner->GetSafeHwnd()))
        return nullptr;
    wxWindow* pWx = AfxGetWxWindow(pOwner->GetSafeHwnd());
    if (!pWx)
        return nullptr;
    GtkWidget* pTop = pWx->GetHandle() ? gtk_widget_get_toplevel((GtkWidget*)pWx->GetHandle()) : nullptr;
    return pTop && GTK_IS_WINDOW(pTop) && gtk_widget_get_visible(pTop) ? GTK_WINDOW(pTop) : nullptr;
}
