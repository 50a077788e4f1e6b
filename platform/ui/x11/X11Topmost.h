// Topmost top-level windows without a window manager. A manager keeps a window that asked to
// stay above (_NET_WM_STATE_ABOVE) over the others; without one the X server stacks windows as
// they are mapped and raised, so we raise our topmost windows ourselves whenever another of our
// top-level windows is mapped or restacked.
#pragma once

#include "WinUser.h"

// The windowing layer calls this on the GUI thread when a topmost top-level window is shown or
// made topmost: without a manager the window is raised, and kept above from then on.
void X11KeepTopmostAbove(HWND hWnd);
