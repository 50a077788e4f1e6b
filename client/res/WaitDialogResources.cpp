// The wait dialog's template; its spinner (GIF 355) is the file WaitSpinner.gif, embedded.
#include "WinUser.h"
#include "ResourceRegistry.h"
#include "resource.h"

namespace
{
// Control 1053 stays hidden; 1055 becomes the picture, which sizes itself to the spinner.
const DLGITEMTEMPLATE_DATA s_waitItems[] = {
    { IDC_WAIT_TEXT, "Static", " ", WS_CHILD | SS_LEFT, 0, 7, 92, 236, 8 },
    { IDC_WAIT_PICTURE, "Static", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 82, 10, 86, 80 },
};

const DLGTEMPLATE_DATA s_waitDialog = {
    WS_POPUP | WS_SYSMENU | DS_CENTER | DS_SETFONT | DS_FIXEDSYS, 0, 0, 0, 250, 106, "", 8, "MS Shell Dlg",
    s_waitItems, (int)(sizeof(s_waitItems) / sizeof(s_waitItems[0])),
};

void RegisterWaitDialogResources()
{
    CResourceRegistry::AddDialog(IDD_WAIT_DIALOG, &s_waitDialog);
}

CResourceRegistrar s_registrar(&RegisterWaitDialogResources);
}  // namespace
