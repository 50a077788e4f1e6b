// The tree view window class.
#include <gtest/gtest.h>
#include "CommonControlsTest.h"
#include "CTreeCtrl.h"

TEST(TreeCtrlTest, ItemsUnderTheRootAndSelectionReachTheParent)
{
    CNotifyParent parent;
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_SINGLEEXPAND,
                            CRect(0, 0, 200, 300), &parent, 22));
    HTREEITEM hAll = tree.InsertItem("所有消息");
    HTREEITEM hA = tree.InsertItem("a", hAll);
    HTREEITEM hB = tree.InsertItem("b", hA);
    HTREEITEM hC = tree.InsertItem("c", hA, TVI_LAST);
    HTREEITEM hFirst = tree.InsertItem("first", hA, TVI_FIRST);
    ASSERT_TRUE(hAll && hA && hB && hC && hFirst);
    EXPECT_EQ(tree.GetCount(), 5u);
    EXPECT_EQ(tree.GetRootItem(), hAll);
    EXPECT_EQ(tree.GetNextSiblingItem(hAll), nullptr);
    EXPECT_EQ(tree.GetParentItem(hAll), nullptr);  // top-level items have no parent item
    EXPECT_EQ(tree.GetParentItem(hB), hA);
    EXPECT_EQ(tree.GetChildItem(hA), hFirst);
    EXPECT_EQ(tree.GetNextSiblingItem(hFirst), hB);
    EXPECT_EQ(tree.GetNextSiblingItem(hB), hC);
    EXPECT_EQ(std::string((LPCSTR)tree.GetItemText(hAll)), "所有消息");
    EXPECT_EQ(tree.GetSelectedItem(), nullptr);

    EXPECT_TRUE(tree.SelectItem(hB));
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].code, (UINT)TVN_SELCHANGED);
    EXPECT_EQ(parent.notes[0].hOld, nullptr);
    EXPECT_EQ(parent.notes[0].hNew, (void*)hB);
    EXPECT_EQ(tree.GetSelectedItem(), hB);
    tree.SelectItem(hB);  // no change, no notification
    EXPECT_EQ(parent.notes.size(), 1u);

    // Deleting a subtree forgets its items: their handles are refused, never followed.
    EXPECT_TRUE(tree.DeleteItem(hA));
    EXPECT_EQ(tree.GetCount(), 1u);
    EXPECT_EQ(std::string((LPCSTR)tree.GetItemText(hB)), "");
    EXPECT_FALSE(tree.SelectItem(hC));
    EXPECT_EQ(tree.GetChildItem(hA), nullptr);
    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(tree.GetCount(), 0u);
    EXPECT_EQ(tree.GetRootItem(), nullptr);
    EXPECT_TRUE(tree.InsertItem("again"));
}
