// X11 views of the program's top-level windows for the start-up tests (window ids as numbers,
// so this header needs no Xlib).
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include "PollWait.h"

// A viewable top-level window of the process that carries the single-instance mark, or 0.
unsigned long FindMarkedWindow(pid_t pid, unsigned long exclude = 0);
unsigned long WaitForMarkedWindow(pid_t pid, int nSeconds);
bool IsWindowViewable(unsigned long window);
std::string WindowTitleUtf8(unsigned long window);
void FocusWindow(unsigned long window);
// True when the X input focus is on the window or one of its descendants.
bool HasFocusWithin(unsigned long window);
// A window of the test that takes the input focus; DestroyTestWindow removes it.
unsigned long CreateFocusedWindow();
void DestroyTestWindow(unsigned long window);
