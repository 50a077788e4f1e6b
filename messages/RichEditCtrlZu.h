// The detail view's rich edit: appends formatted text and links whose target travels as hidden
// text after the visible one, offers a small context menu, and opens a clicked link's target with
// the shell before its parent hears of the click.
#pragma once

#include "AfxWin.h"
#include "CMenu.h"
#include "CRichEditCtrl.h"

#include <string>

#define ID_RICH_UNDO 1225
#define ID_RICH_CUT 1226
#define ID_RICH_COPY 1227
#define ID_RICH_PASTE 1228
#define ID_RICH_CLEAR 1229
#define ID_RICH_SELECTALL 1230
#define ID_RICH_SETFONT 1231

class CRichEditCtrlZu : public CRichEditCtrl
{
public:
    CRichEditCtrlZu() = default;

    // step: size in steps of one point above 9 point; face null: "宋体".
    void AppendText(LPCSTR text, COLORREF color, int step, BOOL bLink, LPCSTR face);
    void AppendLink(LPCSTR visible, LPCSTR hidden);
    // 1 or 0 when the effect is the same over the whole selection, -1 when mixed.
    int IsBold();
    int IsLink();
    void ToggleBold();
    void ToggleLink();
    void AlignLeft();
    void AlignCenter();

    // The rich text AppendLink streams in: the visible text, then "#hidden#hidden" as hidden text.
    static std::string LinkRtf(LPCSTR visible, LPCSTR hidden);
    // A link's target: in the hidden text of the range, the part between the first "#" and the
    // next one; empty when there is no second "#".
    CString GetLinkTarget(const CHARRANGE& chrg);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnLinkReflect(ENLINK* pLink, LRESULT* pResult);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    void OnSelectFont();
    int EffectState(DWORD dwMask, DWORD dwEffect);
    void ToggleEffect(DWORD dwMask, DWORD dwEffect);
    void SetAlignment(WORD wAlign);

    DECLARE_MESSAGE_MAP()
};
