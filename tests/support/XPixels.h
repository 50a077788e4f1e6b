// Pixels read back from the X server, as the tests check what was drawn. Each call opens its own
// connection, so any thread may call it.
#pragma once

#include <vector>
#include "WinTypes.h"

#ifndef CLR_INVALID
#define CLR_INVALID 0xFFFFFFFFu
#endif

// The colour at a point of the screen (the root window with the windows on it); CLR_INVALID when
// it cannot be read.
COLORREF ScreenPixel(int x, int y);

// The colour at a point of the given X window, in its own coordinates.
COLORREF WindowPixel(unsigned long xid, int x, int y);

// The colours of a rectangle of the screen, row by row; empty when it cannot be read.
std::vector<COLORREF> ScreenPixels(int x, int y, int cx, int cy);

// The same of a rectangle of the given X window.
std::vector<COLORREF> WindowPixels(unsigned long xid, int x, int y, int cx, int cy);
