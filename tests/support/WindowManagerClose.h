// A window manager's close button, played by the test: WM_DELETE_WINDOW sent to a top-level X11
// window (a number, so this header needs no Xlib).
#pragma once

// Asks the window to close as a window manager's close button does.
void AskToClose(unsigned long window);
