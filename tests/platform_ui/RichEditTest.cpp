// The rich edit window class: positions, formats, paragraphs, hidden text and the rich-text subset.
#include <gtest/gtest.h>
#include <cstring>
#include "CommonControlsTest.h"
#include "CRichEditCtrl.h"

namespace
{
long StreamRtf(CRichEditCtrl& re, const std::string& rtf, int nFormat = SF_RTF | SFF_SELECTION)
{
    struct Src
    {
        const std::string* s;
        size_t pos;
    } src{&rtf, 0};
    EDITSTREAM es{};
    es.dwCookie = (DWORD_PTR)&src;
    // Small pieces, so the control must gather them.
    es.pfnCallback = [](DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* pcb) -> DWORD {
        Src* s = (Src*)cookie;
        size_t n = std::min<size_t>(std::min<size_t>((size_t)cb, 7), s->s->size() - s->pos);
        memcpy(buf, s->s->data() + s->pos, n);
        s->pos += n;
        *pcb = (LONG)n;
        return 0;
    };
    return re.StreamIn(nFormat, es);
}

DWORD Effects(CRichEditCtrl& re, long a, long b, DWORD* pMask = nullptr)
{
    re.SetSel(a, b);
    CHARFORMAT2 cf{};
    DWORD mask = re.GetSelectionCharFormat(cf);
    if (pMask) *pMask = mask;
    return cf.dwEffects;
}
}  // namespace

TEST(RichEditTest, TextPositionsCountCharactersAndParagraphBreaksOnce)
{
    CNotifyParent parent;
    CRichEditCtrl re;
    ASSERT_TRUE(re.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 300, 200), &parent, 23));
    re.ReplaceSel("中文ab\r\ncd");
    EXPECT_EQ(re.GetTextLength(), 7);  // 中 文 a b <break> c d
    EXPECT_EQ(std::string((LPCSTR)re.GetTextRange(0, -1)), "中文ab\rcd");
    EXPECT_EQ(std::string((LPCSTR)re.GetTextRange(1, 3)), "文a");
    re.SetSel(0, -1);
    long a = -1, b = -1;
    re.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 7);
    re.SetSel(2, 2);
    re.ReplaceSel("X");
    EXPECT_EQ(std::string((LPCSTR)re.GetTextRange(0, -1)), "中文Xab\rcd");
    re.SetSel(100, 100);  // beyond the end: the end
    re.GetSel(a, b);
    EXPECT_EQ(a, 8);
}

TEST(RichEditTest, FormatsOfASelectionAndOfTheCaret)
{
    CNotifyParent parent;
    CRichEditCtrl re;
    ASSERT_TRUE(re.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 300, 200), &parent, 23));
    re.ReplaceSel("plain");
    CHARFORMAT2 cf{};
    cf.dwMask = CFM_BOLD | CFM_SIZE | CFM_COLOR;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = 240;
    cf.crTextColor = RGB(1, 2, 3);
    re.SetSel(5, 5);
    re.SetSelectionCharFormat(cf);  // the caret's format: the next text takes it
    re.SetSel(5, 5);                // the same caret keeps it
    re.ReplaceSel("BOLD");
    DWORD mask = 0;
    EXPECT_EQ(Effects(re, 0, 5, &mask) & CFE_BOLD, 0u);
    EXPECT_TRUE(mask & CFM_BOLD);
    EXPECT_EQ(Effects(re, 5, 9, &mask) & CFE_BOLD, (DWORD)CFE_BOLD);
    re.SetSel(5, 9);
    re.GetSelectionCharFormat(cf);
    EXPECT_EQ(cf.yHeight, 240);
    EXPECT_EQ(cf.crTextColor, RGB(1, 2, 3));
    Effects(re, 0, 9, &mask);
    EXPECT_FALSE(mask & CFM_BOLD);  // mixed
    EXPECT_FALSE(mask & CFM_SIZE);

    PARAFORMAT2 pf{};
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = PFA_CENTER;
    re.SetSel(9, 9);
    re.SetParaFormat(pf);
    re.ReplaceSel("\r\nnext");  // a new paragraph takes the split one's alignment
    re.SetSel(11, 11);
    PARAFORMAT2 got{};
    re.GetParaFormat(got);
    EXPECT_EQ(got.wAlignment, PFA_CENTER);
}

TEST(RichEditTest, RichTextSubsetWithHiddenTextAndLinkNotifications)
{
    CNotifyParent parent;
    CRichEditCtrl re;
    ASSERT_TRUE(re.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 400, 200), &parent, 23));
    re.SetEventMask(re.GetEventMask() | ENM_LINK);
    // Groups, toggles, a paragraph, a code-page escape, a Unicode character, a skipped table and
    // a raw GBK character whose trail byte is "\".
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 Arial;}}a{\\b b}c\\par \\'d6\\'d0\\u25991?x "
                      "\x81\\\\ y\\v hid\\v0 z}";
    EXPECT_EQ(StreamRtf(re, rtf), (long)rtf.size());
    EXPECT_EQ(std::string((LPCSTR)re.GetTextRange(0, -1)), "abc\r中文x \x81\\ yhidz");
    EXPECT_EQ(Effects(re, 1, 2) & CFE_BOLD, (DWORD)CFE_BOLD);
    EXPECT_EQ(Effects(re, 2, 3) & CFE_BOLD, 0u);
    EXPECT_EQ(Effects(re, 11, 14) & CFE_HIDDEN, (DWORD)CFE_HIDDEN);
    EXPECT_EQ(Effects(re, 14, 15) & CFE_HIDDEN, 0u);
    EXPECT_TRUE(re.IsHiddenAt(12));
    EXPECT_FALSE(re.IsHiddenAt(0));

    // A link is clicked: the parent hears of the press and the release with the link's range.
    CHARFORMAT2 cf{};
    cf.dwMask = CFM_LINK;
    cf.dwEffects = CFE_LINK;
    re.SetSel(0, 3);
    re.SetSelectionCharFormat(cf);
    re.SetSel(0, 0);
    parent.ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return parent.IsWindowVisible() != FALSE; }));
    CPoint pos = re.PosFromChar(1);
    ASSERT_GE(pos.x, 0);
    re.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pos.x + 2, pos.y + 4));
    re.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pos.x + 2, pos.y + 4));
    int downs = 0, ups = 0;
    for (auto& n : parent.notes)
    {
        if (n.code != EN_LINK) continue;
        EXPECT_EQ(n.cpMin, 0);
        EXPECT_EQ(n.cpMax, 3);
        downs += n.msg == WM_LBUTTONDOWN;
        ups += n.msg == WM_LBUTTONUP;
    }
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}
