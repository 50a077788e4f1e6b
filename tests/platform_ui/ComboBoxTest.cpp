// The combo box window class (drop-down list) from a template with its initial data: items,
// the prefix search that starts after an item and wraps, the selection and the window text.
#include <gtest/gtest.h>
#include "AfxWin.h"
#include "CComboBox.h"
#include "UiTestUtil.h"

namespace
{
enum
{
    IDD_COMBO_TEST = 9301,
    IDC_LIST = 1019,
};

const DLGITEMTEMPLATE_DATA s_items[] = {
    {IDC_LIST, "ComboBox", "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 10, 10, 60, 60},
    {IDOK, "Button", "确定", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 80, 10, 50, 14},
};
const DLGTEMPLATE_DATA s_dialog = {WS_POPUP | WS_CAPTION | DS_SETFONT | DS_FIXEDSYS, 0, 0, 0, 140, 40, "组合框", 9,
                                   "MS Shell Dlg", s_items, (int)(sizeof(s_items) / sizeof(s_items[0]))};
const DLGINIT_DATA s_init[] = {
    {IDC_LIST, CB_ADDSTRING, "5"},
    {IDC_LIST, CB_ADDSTRING, "10"},
    {IDC_LIST, CB_ADDSTRING, "15"},
    {IDC_LIST, CB_ADDSTRING, "分钟"},
};
CResourceRegistrar s_reg([] {
    CResourceRegistry::AddDialog(IDD_COMBO_TEST, &s_dialog);
    CResourceRegistry::AddData(IDD_COMBO_TEST, RT_DLGINIT, s_init, sizeof(s_init));
});

TEST(ComboBox, TheDialogsInitialDataFillsTheListAndTheSearchWrapsAfterTheStart)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_COMBO_TEST, nullptr));
    auto* pCombo = DYNAMIC_DOWNCAST(CComboBox, dlg.GetDlgItem(IDC_LIST));
    ASSERT_NE(pCombo, nullptr);
    ASSERT_EQ(pCombo->GetCount(), 4);
    CString s;
    pCombo->GetLBText(3, s);
    EXPECT_STREQ(s, "分钟");
    EXPECT_EQ(pCombo->GetCurSel(), CB_ERR);
    pCombo->GetWindowText(s);
    EXPECT_TRUE(s.IsEmpty());

    struct CASE
    {
        int nStartAfter;
        const char* pszText;
        int nFound;
    } cases[] = {
        {0, "5", 0},      // after the first item, wrapping back to it
        {0, "10", 1},
        {0, "1", 1},      // a prefix: the first after the start
        {1, "1", 2},
        {2, "1", 1},      // wrapped
        {-1, "1", 1},     // from the top
        {0, "分", 3},
        {0, "20", CB_ERR},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(pCombo->FindString(c.nStartAfter, c.pszText), c.nFound) << c.nStartAfter << " " << c.pszText;

    EXPECT_EQ(pCombo->SelectString(0, "15"), 2);
    EXPECT_EQ(pCombo->GetCurSel(), 2);
    pCombo->GetWindowText(s);
    EXPECT_STREQ(s, "15");
    // No match keeps the selection.
    EXPECT_EQ(pCombo->SelectString(0, "20"), CB_ERR);
    EXPECT_EQ(pCombo->GetCurSel(), 2);
    EXPECT_EQ(pCombo->SetCurSel(-1), CB_ERR);
    pCombo->GetWindowText(s);
    EXPECT_TRUE(s.IsEmpty());
    dlg.DestroyWindow();
}
}  // namespace
