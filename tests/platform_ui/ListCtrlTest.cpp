// The list view window class in report view.
#include <gtest/gtest.h>
#include "CommonControlsTest.h"
#include "CListCtrl.h"

TEST(ListCtrlTest, RowsColumnsAndSelectionChangesReachTheParent)
{
    CNotifyParent parent;
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | WS_BORDER, CRect(0, 0, 400, 200), &parent, 21));
    EXPECT_EQ(list.InsertColumn(0, "序号", LVCFMT_LEFT, 50), 0);
    EXPECT_EQ(list.InsertColumn(1, "标题", LVCFMT_LEFT, 120), 1);
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    list.SetColumnWidth(1, 150);
    EXPECT_EQ(list.GetColumnWidth(1), 150);
    EXPECT_EQ(list.InsertItem(0, "1"), 0);
    EXPECT_EQ(list.InsertItem(1, "2"), 1);
    EXPECT_TRUE(list.SetItemText(1, 1, "第二行"));
    EXPECT_FALSE(list.SetItemText(5, 1, "none"));
    EXPECT_EQ(std::string((LPCSTR)list.GetItemText(1, 1)), "第二行");
    EXPECT_EQ(std::string((LPCSTR)list.GetItemText(0, 0)), "1");
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_TRUE(parent.notes.empty());  // inserting selects nothing

    // A program's selection is reported as the user's would be: the row that lost it first.
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].code, (UINT)LVN_ITEMCHANGED);
    EXPECT_EQ(parent.notes[0].nItem, 0);
    EXPECT_EQ(parent.notes[0].uNew & LVIS_SELECTED, (UINT)LVIS_SELECTED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
    list.SetItemState(0, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ(parent.notes.size(), 3u);
    EXPECT_EQ(parent.notes[1].nItem, 0);
    EXPECT_EQ(parent.notes[1].uNew, 0u);
    EXPECT_EQ(parent.notes[2].nItem, 1);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), (UINT)LVIS_SELECTED);

    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
    EXPECT_EQ(list.GetExtendedStyle(), (DWORD)(LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
}
