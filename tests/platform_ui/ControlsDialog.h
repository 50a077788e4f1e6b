// The controls dialog the control tests share: one of each control class from a template, a
// masking edit bound by DDX_Control, and a parent that records notifications, colours and cursors.
// Each control class has its own test file (EditTest.cpp, StaticTest.cpp, ...).
#pragma once

#include <vector>
#include "AfxWin.h"
#include "UiTestUtil.h"
#include "XPixels.h"

enum
{
    IDD_CONTROLS = 9101,
    IDC_EDIT = 1000,
    IDC_MASKED = 1001,
    IDC_LINK = 1060,
    IDC_LABEL = 1022,
    IDC_BAR = 1051,
    IDC_VPN = 10667,
    IDC_LOGO = 1046,
    IDC_REMEMBER = 1100,
    IDC_CHOICE_A = 1101,
    IDC_CHOICE_B = 1102,
    IDC_FRAME = 1103,
};

// The masking edit of a password field: the window shows one '*' per byte, the object keeps the text.
class CMaskEdit : public CEdit
{
public:
    CString m_strReal;
    int m_nShown = 0;
    int m_nUpdates = 0;
    int m_nContextMenus = 0;

    void PreSubclassWindow() override
    {
        CEdit::PreSubclassWindow();
        ModifyStyle(ES_PASSWORD, 0);
    }
    afx_msg void OnUpdate()
    {
        ++m_nUpdates;
        CString text;
        GetWindowText(text);
        int n = text.GetLength();
        DWORD sel = (DWORD)SendMessage(EM_GETSEL);
        int p = 0;
        while (p < n && text[p] == '*')
            ++p;
        if (n == 0 || p == n)
            return;
        int w = (unsigned char)text[p] > 0xA0 ? 2 : 1;
        if (m_nShown == 0)
            m_strReal = text;
        else
            m_strReal = m_strReal.Left(p) + text.Mid(p, w) + m_strReal.Right(n - w - p);
        SetWindowText(CString('*', n));
        m_nShown = n;
        SendMessage(EM_SETSEL, LOWORD(sel), LOWORD(sel));
        SendMessage(EM_SCROLLCARET);
    }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        if (nChar == 22 && nRepCnt == 1 && !(nFlags & 0x400))
            return;
        CEdit::OnChar(nChar, nRepCnt, nFlags);
    }
    afx_msg void OnContextMenu(CWnd*, CPoint) { ++m_nContextMenus; }

protected:
    DECLARE_MESSAGE_MAP()
};

class CControlsDlg : public CDialog
{
public:
    CControlsDlg() : CDialog(IDD_CONTROLS) {}
    CMaskEdit m_masked;
    CProgressCtrl m_bar;
    int m_nEditUpdate = 0, m_nEditChange = 0, m_nMaskedUpdate = 0, m_nMaskedChange = 0;
    int m_nLinkClicks = 0, m_nVpnClicks = 0;
    std::vector<std::pair<int, UINT>> m_ctlColors;  // control id, nCtlColor
    CWnd* m_pCursorWnd = nullptr;
    HCURSOR m_hHand = LoadCursor(nullptr, IDC_HAND);

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_MASKED, m_masked);
        DDX_Control(pDX, IDC_BAR, m_bar);
    }
    afx_msg void OnEditUpdate() { ++m_nEditUpdate; }
    afx_msg void OnEditChange() { ++m_nEditChange; }
    afx_msg void OnMaskedUpdate() { ++m_nMaskedUpdate; }
    afx_msg void OnMaskedChange() { ++m_nMaskedChange; }
    afx_msg void OnLink() { ++m_nLinkClicks; }
    afx_msg void OnVpn() { ++m_nVpnClicks; }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
        m_ctlColors.push_back({pWnd ? pWnd->GetDlgCtrlID() : 0, nCtlColor});
        if (nCtlColor == CTLCOLOR_STATIC)
        {
            pDC->SetBkMode(TRANSPARENT);
            if (pWnd->GetDlgCtrlID() == IDC_LINK)
                pDC->SetTextColor(RGB(0, 0, 255));
            return (HBRUSH)GetStockObject(NULL_BRUSH);
        }
        return hbr;
    }
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        if (pWnd && pWnd->GetDlgCtrlID() == IDC_LINK)
        {
            m_pCursorWnd = pWnd;
            SetCursor(m_hHand);
            return TRUE;
        }
        return CDialog::OnSetCursor(pWnd, nHitTest, message);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

struct ControlsFixture : ::testing::Test
{
    CControlsDlg dlg;
    void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_CONTROLS)); }
    void TearDown() override { dlg.DestroyWindow(); }
    HWND Item(int id) { return ::GetDlgItem(dlg.m_hWnd, id); }
    CString Text(int id)
    {
        CString s;
        dlg.GetDlgItemText(id, s);
        return s;
    }
    void Char(HWND h, unsigned char c, UINT flags = 0) { ::SendMessage(h, WM_CHAR, c, MAKELPARAM(1, flags)); }
    void Type(HWND h, const char* gbk)
    {
        for (const char* p = gbk; *p; ++p)
            Char(h, (unsigned char)*p);
    }
};


