// A parent window for the common-control tests (list view, tree view, rich edit): it keeps every
// WM_NOTIFY its children send, and answers NM_HOVER with a chosen result.
#pragma once

#include <vector>
#include "AfxWin.h"
#include "UiTestUtil.h"

class CNotifyParent : public CWnd
{
public:
    struct Note
    {
        UINT code;
        int nItem;      // LVN_ITEMCHANGED: the row
        UINT uOld, uNew;
        void* hOld;     // TVN_SELCHANGED: the items
        void* hNew;
        UINT msg;       // EN_LINK: the mouse message
        LONG cpMin, cpMax;
    };

    CNotifyParent() { CreateEx(0, nullptr, "notify parent", WS_POPUP, CRect(40, 40, 640, 440), nullptr, 0); }
    ~CNotifyParent() override
    {
        if (m_hWnd) DestroyWindow();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::vector<Note> notes;
    LRESULT hoverResult = 1;
};
