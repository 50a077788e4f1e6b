// The history dialog's template (3001); the tip's skin (bitmap 3000) is NewsSkin.bmp, embedded.
#include "AfxWin.h"
#include "CommCtrl.h"
#include "ResourceRegistry.h"
#include "CRichEditCtrl.h"
#include "MurmelResource.h"

namespace
{
// 3004 and 3005 only mark where the splitter bars go.
const DLGITEMTEMPLATE_DATA s_recordItems[] = {
    { IDC_NEWS_TREE, WC_TREEVIEW, "",
      TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SINGLEEXPAND | TVS_INFOTIP | WS_BORDER | WS_HSCROLL |
          WS_TABSTOP | WS_VISIBLE,
      0, 0, 2, 96, 288 },
    { IDC_NEWS_CLEAR, "Button", "\307\345\263\375" /* 清除 */, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 104, 3, 50, 14 },
    { IDC_NEWS_LIST, WC_LISTVIEW, "", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP | WS_VISIBLE,
      0, 100, 19, 459, 124 },
    { IDC_NEWS_DETAIL, RICHEDIT_CLASS, "",
      ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, WS_EX_STATICEDGE, 100, 147,
      459, 143 },
    { IDC_NEWS_VSPLIT, "Static", "", SS_LEFT, 0, 97, 2, 1, 287 },
    { IDC_NEWS_HSPLIT, "Static", "", SS_LEFT, 0, 99, 144, 461, 1 },
};

const DLGTEMPLATE_DATA s_recordDialog = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT, 0, 0, 0, 561,
    290, "\317\373\317\242\274\307\302\274" /* 消息记录 */, 8, "MS Shell Dlg",
    s_recordItems, (int)(sizeof(s_recordItems) / sizeof(s_recordItems[0])),
};

CResourceRegistrar s_registrar([] { CResourceRegistry::AddDialog(IDD_NEWS_RECORD, &s_recordDialog); });
}  // namespace
