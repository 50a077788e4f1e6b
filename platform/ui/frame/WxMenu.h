// Inside the framework: menus shown with wx. Before a menu is shown its commands' state is asked
// from the owner (update-command-UI handlers; with bAutoMenuEnable a command nobody handles is
// greyed), then a wx menu is built from it.
#pragma once

#include <functional>
#include "CMenu.h"

class wxMenu;
class wxBitmap;
class CCmdTarget;

// Draws the picture of a command's item; false when the item keeps its own bitmap.
typedef std::function<bool(UINT nID, wxBitmap& bmp)> MenuImageProvider;

void AfxUpdateMenuCmdUI(HMENU hMenu, CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
wxMenu* AfxBuildWxMenu(HMENU hMenu, const MenuImageProvider& images);
// A wx copy of a drawing-layer bitmap (null handle: an invalid bitmap).
wxBitmap AfxWxBitmapFromHandle(HBITMAP hbm, COLORREF clrTransparent = (COLORREF)-1);
// wx takes ids below 0x7FFF: higher command ids stand for ids that wx reserves for them.
int AfxWxIdOf(UINT nID);
UINT AfxCommandOfWxId(int nWxId);
// The menu's text as wx shows it: "&" becomes wx's mnemonic, the accelerator after "\t" stays.
wxString AfxWxMenuText(const char* gbk);
