// The main frame's keys: Ctrl+L locks the client.
#include "WinUser.h"
#include "ResourceRegistry.h"
#include "resource.h"

namespace
{
const ACCEL s_mainFrameKeys[] = {
    { FVIRTKEY | FCONTROL, 'L', ID_LOCK_APP },
};

void RegisterMainFrameAccelerators()
{
    CResourceRegistry::AddAccelerators(IDR_MAINFRAME, s_mainFrameKeys, (int)(sizeof(s_mainFrameKeys) / sizeof(s_mainFrameKeys[0])));
}

CResourceRegistrar s_registrar(&RegisterMainFrameAccelerators);
}  // namespace
