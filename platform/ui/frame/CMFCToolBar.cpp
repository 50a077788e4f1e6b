// CMFCToolBar on a wx tool bar inside the frame's dock area.
#include <map>
#include <wx/wx.h>
#include <wx/toolbar.h>
#include <wx/dcgraph.h>
#include <wx/graphics.h>
#include <gtk/gtk.h>
#include "WndRecord.h"
#include "WndClass.h"
#include "CMFCToolBar.h"
#include "CMDIFrameWndEx.h"
#include "CEdit.h"
#include "ResourceRegistry.h"
#include "GdiApi.h"
#include "WxMenu.h"

IMPLEMENT_DYNAMIC(CMFCToolBar, CBasePane)

CSize CMFCToolBar::s_sizeButton(23, 22);
CSize CMFCToolBar::s_sizeImage(16, 15);
CMFCToolBarImages* CMFCToolBar::s_pUserImages = nullptr;

namespace
{
std::map<UINT, int>& CmdImages()
{
    static auto* m = new std::map<UINT, int>;
    return *m;
}
}  // namespace

int CCommandManager::GetCmdImage(UINT uiCmd, BOOL) const
{
    auto it = CmdImages().find(uiCmd);
    return it == CmdImages().end() ? -1 : it->second;
}

void CCommandManager::SetCmdImage(UINT uiCmd, int iImage, BOOL)
{
    CmdImages()[uiCmd] = iImage;
}

CCommandManager* GetCmdMgr()
{
    static CCommandManager s_mgr;
    return &s_mgr;
}

CMFCToolBar::CMFCToolBar() : m_dwCtrlStyle(0), m_bCustomizeButton(FALSE), m_iCustomizeCmd(0) {}

CMFCToolBar::~CMFCToolBar() {}

BOOL CMFCToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, TBSTYLE_FLAT, dwStyle, CRect(1, 1, 1, 1), nID);
}

BOOL CMFCToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID)
{
    if (!pParentWnd)
        return FALSE;
    m_dwCtrlStyle = dwCtrlStyle;
    m_dwPaneStyle = dwStyle & 0xFFFF;
    // Hidden until docked: the frame shows its docked bars.
    return CWnd::CreateEx(0, "MFCToolBar", "", (dwStyle | WS_CHILD) & ~WS_VISIBLE & 0xFFFF0000u, CRect(0, 0, 1, 1),
                          pParentWnd, nID);
}

namespace
{
// The toolbar's window class: a GTK tool bar in its frame's dock area; a click on a tool is a
// WM_COMMAND to the bar's owner.
class CMFCToolBarClass : public CWndClass
{
public:
    CMFCToolBarClass() : CWndClass("MFCToolBar") {}
    bool IsNative(WndRecord*) const override { return true; }
    wxWindow* CreateWidget(WndRecord* p, const CREATESTRUCT& cs, wxWindow* pParent) const override
    {
        wxWindow* pHost = pParent;
        if (auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(CWnd::FromHandlePermanent(cs.hwndParent)))
            pHost = pFrame->GetDockParent();
        if (!pHost)
            return nullptr;
        auto* pBar = new wxToolBar(pHost, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                   wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER | wxTB_TEXT | wxTB_HORZ_TEXT);
        pBar->Hide();  // the frame shows its docked bars
        return pBar;
    }
    void BindEvents(WndRecord* p, wxWindow* pWx) const override
    {
        HWND h = p->Handle();
        pWx->Bind(wxEVT_TOOL, [h](wxCommandEvent& e) {
            if (!::IsWindow(h))
                return;
            CWnd* pOwner = CWnd::FromHandle(h)->GetOwner();
            if (pOwner)
                ::SendMessage(pOwner->m_hWnd, WM_COMMAND, MAKEWPARAM(AfxCommandOfWxId(e.GetId()), BN_CLICKED), (LPARAM)h);
        });
    }
};
PARVEL_REGISTER_WNDCLASS(CMFCToolBarClass);
}  // namespace

wxToolBar* CMFCToolBar::GetWxToolBar() const
{
    return dynamic_cast<wxToolBar*>(GetWxWindow());
}

BOOL CMFCToolBar::LoadToolBar(UINT uiResID, UINT, UINT, BOOL bLocked, UINT, UINT, UINT)
{
    const void* pData = nullptr;
    DWORD dwSize = 0;
    if (!CResourceRegistry::FindData(MAKEINTRESOURCE(uiResID), RT_TOOLBAR, &pData, &dwSize) ||
        dwSize < sizeof(TOOLBAR_TEMPLATE_DATA))
        return FALSE;
    const auto* tpl = static_cast<const TOOLBAR_TEMPLATE_DATA*>(pData);
    // The strip of pictures, cut into one image per command.
    m_images.Clear();
    m_images.SetImageSize(CSize(tpl->cxImage, tpl->cyImage));
    if (HBITMAP hStrip = ::LoadBitmap(nullptr, MAKEINTRESOURCE(uiResID)))
    {
        BITMAP bm{};
        GetObjectA((HGDIOBJ)hStrip, sizeof(bm), &bm);
        HDC src = CreateCompatibleDC(nullptr);
        HGDIOBJ oldSrc = SelectObject(src, (HGDIOBJ)hStrip);
        for (int x = 0; tpl->cxImage > 0 && x + tpl->cxImage <= bm.bmWidth; x += tpl->cxImage)
        {
            HDC dst = CreateCompatibleDC(nullptr);
            HBITMAP hOne = CreateBitmap(tpl->cxImage, tpl->cyImage, 1, 32, nullptr);
            HGDIOBJ oldDst = SelectObject(dst, (HGDIOBJ)hOne);
            BitBlt(dst, 0, 0, tpl->cxImage, tpl->cyImage, src, x, 0, SRCCOPY);
            SelectObject(dst, oldDst);
            DeleteDC(dst);
            m_images.AddImage(hOne, TRUE);
            DeleteObject((HGDIOBJ)hOne);
        }
        SelectObject(src, oldSrc);
        DeleteDC(src);
        DeleteObject((HGDIOBJ)hStrip);
    }
    m_buttons.clear();
    int iImage = 0;
    for (int i = 0; i < tpl->nIDs; ++i)
    {
        UINT id = tpl->pIDs[i];
        if (id == 0)
        {
            m_buttons.push_back(std::make_unique<CMFCToolBarButton>());
            m_buttons.back()->m_nStyle = TBBS_SEPARATOR;
            continue;
        }
        GetCmdMgr()->SetCmdImage(id, iImage, FALSE);
        auto p = std::make_unique<CMFCToolBarButton>(id, iImage++, nullptr, FALSE, bLocked);
        CString strTip;
        if (strTip.LoadString(id))
        {
            int nl = strTip.Find('\n');
            p->m_strText = nl >= 0 ? strTip.Mid(nl + 1) : strTip;
        }
        m_buttons.push_back(std::move(p));
    }
    Rebuild();
    return TRUE;
}

int CMFCToolBar::InsertButton(const CMFCToolBarButton& button, INT_PTR iInsertAt)
{
    if (iInsertAt < -1 || iInsertAt > (INT_PTR)m_buttons.size())
        return -1;
    size_t at = iInsertAt == -1 ? m_buttons.size() : (size_t)iInsertAt;
    m_buttons.insert(m_buttons.begin() + (long)at, std::unique_ptr<CMFCToolBarButton>(button.Clone()));
    Rebuild();
    return (int)at;
}

int CMFCToolBar::InsertSeparator(INT_PTR iInsertAt)
{
    CMFCToolBarButton sep;
    sep.m_nStyle = TBBS_SEPARATOR;
    return InsertButton(sep, iInsertAt);
}

BOOL CMFCToolBar::RemoveButton(int iIndex)
{
    if (iIndex < 0 || iIndex >= GetCount())
        return FALSE;
    m_buttons.erase(m_buttons.begin() + iIndex);
    Rebuild();
    return TRUE;
}

void CMFCToolBar::RemoveAllButtons()
{
    m_buttons.clear();
    Rebuild();
}

CMFCToolBarButton* CMFCToolBar::GetButton(int iIndex) const
{
    return iIndex >= 0 && iIndex < GetCount() ? m_buttons[(size_t)iIndex].get() : nullptr;
}

int CMFCToolBar::CommandToIndex(UINT nIDFind, int iIndexFirst) const
{
    for (int i = iIndexFirst < 0 ? 0 : iIndexFirst; i < GetCount(); ++i)
        if (m_buttons[(size_t)i]->m_nID == nIDFind && !m_buttons[(size_t)i]->IsSeparator())
            return i;
    return -1;
}

UINT CMFCToolBar::GetItemID(int nIndex) const
{
    CMFCToolBarButton* p = GetButton(nIndex);
    return p ? p->m_nID : 0;
}

BOOL CMFCToolBar::SetButtonText(int nIndex, LPCSTR lpszText)
{
    CMFCToolBarButton* p = GetButton(nIndex);
    if (!p || p->IsSeparator())
        return FALSE;
    p->m_strText = lpszText ? lpszText : "";
    Rebuild();
    return TRUE;
}

CString CMFCToolBar::GetButtonText(int nIndex) const
{
    CMFCToolBarButton* p = GetButton(nIndex);
    return p ? p->m_strText : CString();
}

UINT CMFCToolBar::GetButtonStyle(int nIndex) const
{
    CMFCToolBarButton* p = GetButton(nIndex);
    return p ? p->m_nStyle : 0;
}

void CMFCToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    CMFCToolBarButton* p = GetButton(nIndex);
    if (!p)
        return;
    UINT old = p->m_nStyle;
    p->m_nStyle = nStyle;
    wxToolBar* pBar = GetWxToolBar();
    if (!pBar || p->IsSeparator() || old == nStyle)
        return;
    int id = AfxWxIdOf(p->m_nID);
    if (wxToolBarToolBase* t = pBar->FindById(id))
    {
        pBar->EnableTool(id, !(nStyle & TBBS_DISABLED));
        if (t->CanBeToggled())
            pBar->ToggleTool(id, (nStyle & TBBS_CHECKED) != 0);
    }
}

void CMFCToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{0, 0, 0, 0};
    wxToolBar* pBar = GetWxToolBar();
    CMFCToolBarButton* p = GetButton(nIndex);
    if (!pBar || !p)
        return;
    // wx reports no tool rectangles: lay the buttons out as the bar shows them.
    int x = 0;
    for (int i = 0; i <= nIndex && i < GetCount(); ++i)
    {
        wxToolBarToolBase* t = pBar->GetToolByPos(i);
        int cx = t && t->IsControl() && t->GetControl() ? t->GetControl()->GetSize().x
                 : t && t->IsSeparator()                 ? 8
                                                         : pBar->GetToolSize().x;
        if (i == nIndex)
            *lpRect = RECT{x, 0, x + cx, pBar->GetSize().y};
        x += cx;
    }
}

void CMFCToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    s_sizeButton = CSize(sizeButton.cx, sizeButton.cy);
    s_sizeImage = CSize(sizeImage.cx, sizeImage.cy);
}

BOOL CMFCToolBar::SetUserImages(CMFCToolBarImages* pUserImages)
{
    if (!pUserImages || !pUserImages->IsValid())
        return FALSE;
    s_pUserImages = pUserImages;
    return TRUE;
}

void CMFCToolBar::EnableCustomizeButton(BOOL bEnable, int iCustomizeCmd, const CString& strCustomizeText, BOOL)
{
    m_bCustomizeButton = bEnable;
    m_iCustomizeCmd = iCustomizeCmd;
    m_strCustomizeText = strCustomizeText;
}

void CMFCToolBar::Rebuild()
{
    wxToolBar* pBar = GetWxToolBar();
    if (!pBar)
        return;
    // Controls of buttons stay alive across a rebuild; only the tools are made again.
    while (pBar->GetToolsCount() > 0)
    {
        wxToolBarToolBase* t = pBar->GetToolByPos(0);
        // Deleting a control's tool would destroy the control; its small record is let go.
        if (t->IsControl() && t->GetControl())
            pBar->RemoveTool(t->GetId());
        else
            pBar->DeleteToolByPos(0);
    }
    // User pictures take the bars' common size; a loaded resource keeps its own.
    bool bUser = false;
    for (auto& p : m_buttons)
        bUser = bUser || p->m_bUserButton;
    CSize size = (!bUser && m_images.IsValid()) ? m_images.GetImageSize() : s_sizeImage;
    wxSize img(size.cx, size.cy);
    m_sizeBuilt = size;
    pBar->SetToolBitmapSize(img);
    for (auto& p : m_buttons)
    {
        if (p->IsSeparator())
        {
            pBar->AddSeparator();
            continue;
        }
        if (auto* pCtl = dynamic_cast<wxControl*>(p->CreateControl(this, pBar)))
        {
            pBar->AddControl(pCtl);
            continue;
        }
        wxBitmap bmp;
        if (p->m_bUserButton && s_pUserImages)
            bmp = s_pUserImages->GetWxBitmap(p->GetImage());
        else if (!p->m_bUserButton)
            bmp = m_images.GetWxBitmap(p->GetImage());
        if (bmp.IsOk() && (bmp.GetWidth() != img.x || bmp.GetHeight() != img.y))
            bmp = wxBitmap(bmp.ConvertToImage().Scale(img.x, img.y, wxIMAGE_QUALITY_HIGH));
        // The text shows where there is no picture; it is always the tooltip.
        wxString text = WxFromGbk(p->m_strText.GetString());
        bool bShowText = !bmp.IsOk() || p->m_bText;
        if (!bmp.IsOk())
        {
            bmp = wxBitmap(1, img.y, 32);
            bmp.UseAlpha();
            wxImage blank(1, img.y);
            blank.InitAlpha();
            memset(blank.GetAlpha(), 0, (size_t)img.y);
            bmp = wxBitmap(blank);
        }
        int id = AfxWxIdOf(p->m_nID);
        pBar->AddTool(id, bShowText ? text : wxString(), bmp, text, wxITEM_CHECK);
        if (p->m_nStyle & TBBS_DISABLED)
            pBar->EnableTool(id, false);
        if (p->m_nStyle & TBBS_CHECKED)
            pBar->ToggleTool(id, true);
    }
    pBar->Realize();
    pBar->SetMinSize(pBar->GetBestSize());
    if (auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(GetParent()))
        pFrame->RecalcLayout();
}

namespace
{
class CToolCmdUI : public CCmdUI
{
public:
    CMFCToolBar* m_pBar = nullptr;
    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        UINT s = m_pBar->GetButtonStyle((int)m_nIndex) & ~TBBS_DISABLED;
        m_pBar->SetButtonStyle((int)m_nIndex, bOn ? s : s | TBBS_DISABLED);
        if (auto* p = dynamic_cast<CMFCToolBarEditBoxButton*>(m_pBar->GetButton((int)m_nIndex)))
            if (p->GetEditBox() && ::IsWindow(p->GetEditBox()->GetSafeHwnd()))
                p->GetEditBox()->EnableWindow(bOn);
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        UINT s = m_pBar->GetButtonStyle((int)m_nIndex) & ~TBBS_CHECKED;
        m_pBar->SetButtonStyle((int)m_nIndex, nCheck ? s | TBBS_CHECKED : s);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR) override {}
};
}  // namespace

void CMFCToolBar::AdjustLayout()
{
    bool bUser = false;
    for (auto& p : m_buttons)
        bUser = bUser || p->m_bUserButton;
    if (bUser && m_sizeBuilt != s_sizeImage)
        Rebuild();
}

void CMFCToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (!pTarget)
        return;
    for (int i = 0; i < GetCount(); ++i)
    {
        CMFCToolBarButton* p = GetButton(i);
        if (!p || p->IsSeparator() || p->m_nID == 0)
            continue;
        CToolCmdUI ui;
        ui.m_pBar = this;
        ui.m_nID = p->m_nID;
        ui.m_nIndex = (UINT)i;
        if (ui.DoUpdate(pTarget))
            continue;
        if (bDisableIfNoHndler)
        {
            AFX_CMDHANDLERINFO handler{};
            ui.Enable(pTarget->OnCmdMsg(p->m_nID, (int)CN_COMMAND, nullptr, &handler));
        }
    }
}

LRESULT CMFCToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A control's notifications go to its button first.
    if (message == WM_COMMAND && lParam)
        for (auto& p : m_buttons)
            if (auto* pEditButton = dynamic_cast<CMFCToolBarEditBoxButton*>(p.get()))
                if (pEditButton->GetEditBox() && pEditButton->GetEditBox()->GetSafeHwnd() == (HWND)lParam)
                {
                    pEditButton->NotifyCommand((int)HIWORD(wParam));
                    break;
                }
    if (message == WM_DESTROY)
        if (auto* pFrame = dynamic_cast<CMDIFrameWndEx*>(GetParent()))
            pFrame->OnPaneDestroyed(this);
    return CBasePane::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// CMFCToolBarEditBoxButton

CMFCToolBarEditBoxButton::CMFCToolBarEditBoxButton() : m_dwStyle(ES_AUTOHSCROLL), m_iWidth(0), m_pWndEdit(nullptr) {}

CMFCToolBarEditBoxButton::CMFCToolBarEditBoxButton(UINT uiID, int iImage, DWORD dwStyle, int iWidth)
    : CMFCToolBarButton(uiID, iImage), m_dwStyle(dwStyle), m_iWidth(iWidth), m_pWndEdit(nullptr)
{
}

CMFCToolBarEditBoxButton::CMFCToolBarEditBoxButton(const CMFCToolBarEditBoxButton& src)
    : CMFCToolBarButton(src), m_dwStyle(src.m_dwStyle), m_iWidth(src.m_iWidth), m_pWndEdit(nullptr)
{
}

CMFCToolBarEditBoxButton::~CMFCToolBarEditBoxButton()
{
    if (m_pWndEdit)
    {
        if (::IsWindow(m_pWndEdit->GetSafeHwnd()))
            m_pWndEdit->DestroyWindow();
        delete m_pWndEdit;
    }
}

CMFCToolBarButton* CMFCToolBarEditBoxButton::Clone() const
{
    return new CMFCToolBarEditBoxButton(*this);
}

CEdit* CMFCToolBarEditBoxButton::CreateEdit(CWnd* pWndParent, const CRect& rect)
{
    auto* p = new CEdit;
    if (!p->Create(m_dwStyle | WS_CHILD | WS_VISIBLE | WS_BORDER, rect, pWndParent, m_nID))
    {
        delete p;
        return nullptr;
    }
    return p;
}

namespace
{
// After the edit has drawn itself: the button draws over it, a window DC of the edit reaching
// this paint.
gboolean OnEditBoxDrawn(GtkWidget* pWidget, cairo_t* cr, gpointer data)
{
    HWND hEdit = (HWND)data;
    WndRecord* pRec = LiveRec(hEdit);
    auto* pBar = pRec ? dynamic_cast<CMFCToolBar*>(CWnd::FromHandlePermanent(pRec->hParent)) : nullptr;
    if (!pBar)
        return FALSE;
    for (int i = 0; i < pBar->GetCount(); ++i)
    {
        auto* pButton = dynamic_cast<CMFCToolBarEditBoxButton*>(pBar->GetButton(i));
        if (!pButton || !pButton->GetEditBox() || pButton->GetEditBox()->GetSafeHwnd() != hEdit)
            continue;
        wxGraphicsContext* gc = wxGraphicsRenderer::GetCairoRenderer()->CreateContextFromNativeContext(cr);
        if (!gc)
            return FALSE;
        wxGCDC dc(gc);
        wxDC* pOld = pRec->pPaintDC;
        pRec->pPaintDC = &dc;
        CRect rect(0, 0, gtk_widget_get_allocated_width(pWidget), gtk_widget_get_allocated_height(pWidget));
        pButton->OnDraw(nullptr, rect, CMFCToolBar::GetUserImages());
        if (LiveRec(hEdit))
            pRec->pPaintDC = pOld;
        break;
    }
    return FALSE;
}
}  // namespace

wxWindow* CMFCToolBarEditBoxButton::CreateControl(CMFCToolBar* pBar, wxWindow*)
{
    if (!m_pWndEdit)
    {
        // The default width of the framework's edit box.
        int cx = m_iWidth > 0 ? m_iWidth : 150;
        m_pWndEdit = CreateEdit(pBar, CRect(0, 0, cx, CMFCToolBar::GetButtonSize().cy));
        if (!m_pWndEdit)
            return nullptr;
        if (wxWindow* w = m_pWndEdit->GetWxWindow())
            if (GtkWidget* g = (GtkWidget*)w->GetHandle())
                g_signal_connect_after(g, "draw", G_CALLBACK(OnEditBoxDrawn), m_pWndEdit->GetSafeHwnd());
    }
    return m_pWndEdit->GetWxWindow();
}

void CMFCToolBarEditBoxButton::SetContents(const CString& strContents)
{
    if (m_pWndEdit)
        m_pWndEdit->SetWindowText(strContents);
}

CString CMFCToolBarEditBoxButton::GetContents() const
{
    CString s;
    if (m_pWndEdit)
        m_pWndEdit->GetWindowText(s);
    return s;
}
