// The parent of the common-control tests.
#include "CommonControlsTest.h"
#include "CListCtrl.h"
#include "CRichEditCtrl.h"
#include "CTreeCtrl.h"

LRESULT CNotifyParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NOTIFY)
        return CWnd::WindowProc(message, wParam, lParam);
    const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    Note n{pHdr->code, -1, 0, 0, nullptr, nullptr, 0, 0, 0};
    if (pHdr->code == LVN_ITEMCHANGED)
    {
        const NMLISTVIEW* p = reinterpret_cast<const NMLISTVIEW*>(lParam);
        n.nItem = p->iItem;
        n.uOld = p->uOldState;
        n.uNew = p->uNewState;
    }
    else if (pHdr->code == TVN_SELCHANGED)
    {
        const NMTREEVIEW* p = reinterpret_cast<const NMTREEVIEW*>(lParam);
        n.hOld = p->itemOld.hItem;
        n.hNew = p->itemNew.hItem;
    }
    else if (pHdr->code == EN_LINK)
    {
        const ENLINK* p = reinterpret_cast<const ENLINK*>(lParam);
        n.msg = p->msg;
        n.cpMin = p->chrg.cpMin;
        n.cpMax = p->chrg.cpMax;
    }
    notes.push_back(n);
    return pHdr->code == NM_HOVER ? hoverResult : 0;
}
