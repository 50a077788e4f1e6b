// CDialog: windows from templates, dialog units, the modal loop, data exchange.
#include <wx/wx.h>
#include <wx/evtloop.h>
#include <condition_variable>
#include <mutex>
#include <gtk/gtk.h>
#include <strings.h>
#include "TopLevelWnd.h"
#include "CDialog.h"
#include "CWinApp.h"
#include "GdiObject.h"
#include "GdiImpl.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

// The state of one modal run: a nested loop on the GUI thread, or a waiting caller thread.
struct ModalState
{
    wxGUIEventLoop* pLoop = nullptr;
    std::mutex lock;
    std::condition_variable cond;
    bool bEnded = false;
};

// ---------------------------------------------------------------------------------------------
// The dialog window class "#32770"

namespace
{
struct CDialogState : CWndState
{
    UINT nDefID = 0;  // the default button
};

class CDialogWndClass : public CTopLevelWndClass
{
public:
    CDialogWndClass() : CTopLevelWndClass("#32770") {}

    std::unique_ptr<CWndState> NewState(const CREATESTRUCT&) const override { return std::make_unique<CDialogState>(); }

    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow*) const override
    {
        p->strText.clear();
        // A frame too: wxDialog under GTK gives a dialog without a sizer a 1x1 window when shown,
        // and the modal loop is ours anyway.
        wxFrame* w = NewFrameWidget(cs, wxFRAME_NO_TASKBAR | wxTAB_TRAVERSAL);
        // The dialog face colour, the colour its statics are drawn on.
        w->SetBackgroundColour(WxColourOf(GetSysColor(COLOR_BTNFACE)));
        // Controls keep the template's places: wx would stretch a sole child widget over the
        // whole client area (a dialog whose other controls are drawn on it).
        w->SetAutoLayout(true);
        if (WndRecord* pOwner = LiveRec(cs.hwndParent); pOwner && pOwner->pWx)
            if (GtkWidget* gw = (GtkWidget*)w->GetHandle(), *go = (GtkWidget*)pOwner->pWx->GetHandle();
                gw && go && GTK_IS_WINDOW(gw) && GTK_IS_WINDOW(go))
                gtk_window_set_transient_for(GTK_WINDOW(gw), GTK_WINDOW(go));
        return w;
    }

    LRESULT DefProc(WndRecord* p, UINT msg, WPARAM wParam, LPARAM lParam) const override
    {
        CDialogState* s = StateOf<CDialogState>(p);
        switch (msg)
        {
        case WM_CLOSE:
            // A dialog whose cancel button is disabled cannot be closed by the user.
            if (HWND hCancel = ::GetDlgItem(p->Handle(), IDCANCEL); !hCancel || ::IsWindowEnabled(hCancel))
                DispatchToWindow(p->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)hCancel);
            return 0;
        case DM_GETDEFID:
            return s->nDefID ? MAKELONG(s->nDefID, 0x534B) : 0;
        case DM_SETDEFID:
            s->nDefID = (UINT)wParam;
            return TRUE;
        }
        return CTopLevelWndClass::DefProc(p, msg, wParam, lParam);
    }

    bool IsDialog() const override { return true; }
};
PARVEL_REGISTER_WNDCLASS(CDialogWndClass);
}  // namespace

// ---------------------------------------------------------------------------------------------
// Dialog units

int MulDivDialogUnit(int nUnits, int nBase, int nDivisor)
{
    long long v = (long long)nUnits * nBase;
    // Rounded half away from zero, as MulDiv.
    return (int)(v >= 0 ? (v + nDivisor / 2) / nDivisor : -((-v + nDivisor / 2) / nDivisor));
}

static wxFont DialogFont(const char* lpszFace, int nPointSize)
{
    int pt = nPointSize > 0 ? nPointSize : 9;
    std::string face = lpszFace ? lpszFace : "";
    // The shell's dialog fonts stand for the desktop's own GUI font.
    if (face.empty() || face == "MS Shell Dlg" || face == "MS Shell Dlg 2" || face == "System")
    {
        wxFont f = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        f.SetPointSize(pt);
        return f;
    }
    wxFont f(wxFontInfo(pt).FaceName(wxString::FromUTF8(gdi::FamilyForFace(face.c_str()))));
    return f.IsOk() ? f : wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
}

static DIALOG_BASE_UNITS BaseUnitsOfFont(const wxFont& font)
{
    wxBitmap bmp(1, 1);
    wxMemoryDC dc(bmp);
    dc.SetFont(font);
    wxCoord w = 0, h = 0;
    dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &w, &h);
    DIALOG_BASE_UNITS u;
    u.cx = (int)((w / 26 + 1) / 2);
    u.cy = dc.GetCharHeight();
    if (u.cx <= 0) u.cx = 1;
    if (u.cy <= 0) u.cy = 1;
    return u;
}

DIALOG_BASE_UNITS AfxGetDialogBaseUnits(const char* lpszFace, int nPointSize)
{
    DIALOG_BASE_UNITS u{};
    RunOnGui([&] { u = BaseUnitsOfFont(DialogFont(lpszFace, nPointSize)); });
    return u;
}

// ---------------------------------------------------------------------------------------------
// CDialog

CDialog::CDialog()
    : m_nIDHelp(0), m_nIDTemplate(0), m_pParentWnd(nullptr), m_nModalResult(-1), m_bModal(FALSE),
      m_bEndRequested(FALSE), m_nDefID(IDOK), m_nBaseUnitX(0), m_nBaseUnitY(0), m_pModalState(nullptr)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_nIDTemplate = nIDTemplate;
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    int bx = m_nBaseUnitX ? m_nBaseUnitX : 6, by = m_nBaseUnitY ? m_nBaseUnitY : 13;
    lpRect->left = MulDivDialogUnit(lpRect->left, bx, 4);
    lpRect->right = MulDivDialogUnit(lpRect->right, bx, 4);
    lpRect->top = MulDivDialogUnit(lpRect->top, by, 8);
    lpRect->bottom = MulDivDialogUnit(lpRect->bottom, by, 8);
}

// Loads a bitmap or icon resource named "#id" into an image static.
static void LoadStaticImage(HWND hCtl, const DLGITEMTEMPLATE_DATA& it)
{
    if (!it.lpszText || it.lpszText[0] != '#')
        return;
    UINT id = (UINT)atoi(it.lpszText + 1);
    DWORD type = it.dwStyle & SS_TYPEMASK;
    if (type == SS_BITMAP)
    {
        CBitmap bmp;
        if (!bmp.LoadBitmap(id))
            return;
        HBITMAP h = (HBITMAP)bmp.Detach();
        AdoptStaticBitmap(hCtl, h);
        BITMAP bm{};
        if (!(it.dwStyle & 0x40L) && GetObjectA((HGDIOBJ)h, sizeof(bm), &bm))  // not SS_REALSIZECONTROL
            ::SetWindowPos(hCtl, nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    else if (type == SS_ICON)
    {
        HICON h = ::LoadIcon(nullptr, MAKEINTRESOURCE(id));
        if (h)
            ::SendMessage(hCtl, STM_SETICON, (WPARAM)h, 0);
    }
}

// The template's initial data, message by message.
static void ExecuteDlgInit(HWND hDlg, UINT nIDTemplate)
{
    const void* pData = nullptr;
    DWORD cb = 0;
    if (!CResourceRegistry::FindData(MAKEINTRESOURCE(nIDTemplate), RT_DLGINIT, &pData, &cb) || !pData)
        return;
    const auto* pItems = static_cast<const DLGINIT_DATA*>(pData);
    for (DWORD i = 0; i < cb / sizeof(DLGINIT_DATA); ++i)
        if (HWND hCtl = ::GetDlgItem(hDlg, pItems[i].nIDC))
            ::SendMessage(hCtl, pItems[i].message, 0, (LPARAM)pItems[i].lpszText);
}

BOOL CDialog::CreateFromTemplate(CWnd* pParentWnd, BOOL bModal)
{
    const DLGTEMPLATE_DATA* t = CResourceRegistry::FindDialog(m_nIDTemplate);
    if (!t)
        return FALSE;
    BOOL bOk = FALSE;
    RunOnGui([&] {
        wxFont font = (t->dwStyle & DS_SETFONT) ? DialogFont((t->dwStyle & DS_FIXEDSYS) ? nullptr : t->lpszFace, t->wPointSize)
                                                : DialogFont(nullptr, 9);
        DIALOG_BASE_UNITS u = BaseUnitsOfFont(font);
        m_nBaseUnitX = u.cx;
        m_nBaseUnitY = u.cy;
        RECT rc{t->x, t->y, t->x + t->cx, t->y + t->cy};
        MapDialogRect(&rc);
        DWORD style = (DWORD)t->dwStyle & ~WS_VISIBLE & ~WS_CHILD;
        if (!(style & WS_POPUP) && !(style & WS_CAPTION))
            style |= WS_POPUP;
        if (!CreateEx(t->dwExStyle, "#32770", t->lpszCaption ? t->lpszCaption : "", style, rc, pParentWnd, 0))
            return;
        WndRecord* p = LiveRec(m_hWnd);
        if (!p || !p->pWx)
            return;
        p->pWx->SetFont(font);
        // Made at the template's size already; wx's SetClientSize on a hidden GTK top-level
        // leaves it 1x1 once shown.
        ::SendMessage(m_hWnd, DM_SETDEFID, IDOK, 0);
        // The template's position is relative to the owner; centred when asked or when none is given.
        bool bCenter = (t->dwStyle & DS_CENTER) || (t->x == 0 && t->y == 0);
        for (int i = 0; i < t->nItems; ++i)
        {
            const DLGITEMTEMPLATE_DATA& it = t->pItems[i];
            RECT rcItem{it.x, it.y, it.x + it.cx, it.y + it.cy};
            MapDialogRect(&rcItem);
            bool bImage = it.lpszText && it.lpszText[0] == '#' &&
                          ((it.dwStyle & SS_TYPEMASK) == SS_BITMAP || (it.dwStyle & SS_TYPEMASK) == SS_ICON);
            DWORD itemStyle = it.dwStyle | WS_CHILD;
            // The template's class name finds the window class, which gives the control its object
            // (a CEdit for "Edit"); a DDX_Control or SubclassDlgItem replaces it with the program's.
            CREATESTRUCT probe{};
            probe.lpszClass = it.lpszClass;
            probe.style = (LONG)itemStyle;
            const CWndClass* pClass = CWndClassRegistry::Resolve(probe);
            CWnd* pCtl = pClass ? pClass->NewObject() : new CWnd;
            if (!pCtl->CreateEx(it.dwExStyle, it.lpszClass, bImage ? "" : it.lpszText, itemStyle & ~WS_VISIBLE, rcItem,
                                this, (UINT)(it.nID & 0xFFFF)))
            {
                delete pCtl;
                continue;
            }
            HWND hCtl = pCtl->m_hWnd;
            WndRecord* pc = LiveRec(hCtl);
            pc->bTempWnd = true;  // deleted with the window unless the program binds its own
            pc->nID = it.nID;
            if (pc->pWx)
                pc->pWx->SetFont(font);
            else
                pc->pFont = std::make_unique<wxFont>(font);
            if (bImage)
                LoadStaticImage(hCtl, it);
            if ((it.dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON && it.lpszClass && strcasecmp(it.lpszClass, "Button") == 0)
                ::SendMessage(m_hWnd, DM_SETDEFID, (WPARAM)it.nID, 0);
            if (it.dwStyle & WS_VISIBLE)
                ::ShowWindow(hCtl, SW_SHOWNA);
        }
        ExecuteDlgInit(m_hWnd, m_nIDTemplate);
        if (bCenter)
            CenterWindow();
        else
        {
            POINT pt{rc.left, rc.top};
            if (pParentWnd && (t->dwStyle & DS_ABSALIGN) == 0)
                ::ClientToScreen(pParentWnd->m_hWnd, &pt);
            ::SetWindowPos(m_hWnd, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        m_bModal = bModal;
        LRESULT bFocusDefault = ::SendMessage(m_hWnd, WM_INITDIALOG, 0, 0);
        if (!LiveRec(m_hWnd))
            return;
        if (bFocusDefault)
        {
            // The first control that takes the focus.
            for (HWND c : std::vector<HWND>(p->children))
            {
                WndRecord* r = LiveRec(c);
                if (r && r->pWx && (r->dwStyle & WS_TABSTOP) && !(r->dwStyle & WS_DISABLED))
                {
                    r->pWx->SetFocus();
                    break;
                }
            }
        }
        if (bModal || (t->dwStyle & WS_VISIBLE))
        {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            if (t->dwStyle & DS_SETFOREGROUND)
                ::SetForegroundWindow(m_hWnd);
        }
        bOk = TRUE;
    });
    return bOk;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(pParentWnd, FALSE);
}

static BOOL ModalEnded(void* p)
{
    auto* s = static_cast<ModalState*>(p);
    std::lock_guard<std::mutex> guard(s->lock);
    return s->bEnded;
}

INT_PTR CDialog::DoModal()
{
    if (m_pModalState)
        return -1;  // one modal run per object at a time
    ModalState state;
    m_pModalState = &state;
    m_bEndRequested = FALSE;
    m_nModalResult = -1;
    HWND hOwner = nullptr;
    BOOL bOwnerEnabled = FALSE;
    BOOL bCreated = FALSE;
    RunOnGui([&] {
        CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
        if (pOwner && pOwner != this && ::IsWindow(pOwner->m_hWnd))
        {
            hOwner = pOwner->GetTopLevelParent() ? pOwner->GetTopLevelParent()->m_hWnd : pOwner->m_hWnd;
            bOwnerEnabled = ::IsWindowEnabled(hOwner) && ::IsWindowVisible(hOwner);
            if (bOwnerEnabled)
                ::EnableWindow(hOwner, FALSE);
        }
        // A hidden or minimised owner (the locked main window) would take its dialog with it.
        bool bUsableOwner = hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner);
        bCreated = CreateFromTemplate(bUsableOwner ? CWnd::FromHandle(hOwner) : nullptr, TRUE);
    });
    if (bCreated && !m_bEndRequested && ::IsWindow(m_hWnd))
    {
        if (AfxIsGuiThread())
        {
            wxGUIEventLoop loop;
            {
                std::lock_guard<std::mutex> guard(state.lock);
                state.pLoop = &loop;
            }
            if (!ModalEnded(&state))
                loop.Run();
            std::lock_guard<std::mutex> guard(state.lock);
            state.pLoop = nullptr;
        }
        else
        {
            // The window lives on the GUI thread; this thread waits until it is closed.
            std::unique_lock<std::mutex> guard(state.lock);
            state.cond.wait(guard, [&] { return state.bEnded; });
        }
    }
    RunOnGui([&] {
        if (hOwner && bOwnerEnabled && ::IsWindow(hOwner))
            ::EnableWindow(hOwner, TRUE);
        if (::IsWindow(m_hWnd))
        {
            ::ShowWindow(m_hWnd, SW_HIDE);
            if (hOwner && ::IsWindow(hOwner) && ::IsWindowVisible(hOwner))
                ::SetForegroundWindow(hOwner);
            DestroyWindow();
        }
    });
    m_pModalState = nullptr;
    return bCreated ? m_nModalResult : -1;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndRequested = TRUE;
    auto* s = static_cast<ModalState*>(m_pModalState);
    if (s)
    {
        std::lock_guard<std::mutex> guard(s->lock);
        s->bEnded = true;
        s->cond.notify_all();
        if (s->pLoop)
        {
            wxGUIEventLoop* pLoop = s->pLoop;
            RunOnGui([pLoop] { pLoop->ScheduleExit(0); }, !AfxIsGuiThread() ? false : true);
        }
        // A modal window hides at once, as on Windows, even before the loop has wound down.
        if (::IsWindow(m_hWnd))
            RunOnGui([h = m_hWnd] { ::ShowWindow(h, SW_HIDE); }, false);
    }
    else if (::IsWindow(m_hWnd))
        ShowWindow(SW_HIDE);  // a modeless dialog only hides: its owner shows the same window again
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (nCode != CN_COMMAND && nCode != (int)CN_UPDATE_COMMAND_UI)
        return FALSE;
    CWinThread* pThread = AfxGetThread();
    if (!pThread)
        pThread = AfxGetApp();
    return pThread && pThread != (CWinThread*)nullptr && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CDialog::NextDlgCtrl() const
{
    if (WndRecord* p = LiveRec(m_hWnd); p && p->pWx)
        RunOnGui([&] { p->pWx->Navigate(wxNavigationKeyEvent::IsForward); });
}

void CDialog::PrevDlgCtrl() const
{
    if (WndRecord* p = LiveRec(m_hWnd); p && p->pWx)
        RunOnGui([&] { p->pWx->Navigate(wxNavigationKeyEvent::IsBackward); });
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl)
        pWndCtrl->SetFocus();
}

void CDialog::SetDefID(UINT nID)
{
    m_nDefID = nID;
    ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0);
    if (HWND h = ::GetDlgItem(m_hWnd, (int)nID))
        ::SendMessage(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

DWORD CDialog::GetDefID() const
{
    return (DWORD)::SendMessage(m_hWnd, DM_GETDEFID, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Data exchange

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND h = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    if (!h)
        fprintf(stderr, "data exchange: no control %d\n", nIDC);
    return h;
}

void CDataExchange::Fail() {}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        int n = ::GetWindowTextLength(h);
        char* p = value.GetBuffer(n + 1);
        ::GetWindowText(h, p, n + 1);
        value.ReleaseBuffer();
    }
    else
        ::SetWindowText(h, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        char buf[64];
        ::GetWindowText(h, buf, sizeof buf);
        value = atoi(buf);
    }
    else
    {
        char buf[32];
        snprintf(buf, sizeof buf, "%d", value);
        ::SetWindowText(h, buf);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND h = pDX->PrepareCtrl(nIDC);
    if (h)
        rControl.SubclassWindow(h);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND h = pDX->PrepareCtrl(nIDC);
    if (!h)
        return;
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessage(h, BM_GETCHECK, 0, 0);
    else
        ::SendMessage(h, BM_SETCHECK, (WPARAM)value, 0);
}
