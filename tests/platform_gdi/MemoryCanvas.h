// A memory DC with a bitmap of its own, filled white; the tests draw on it and read pixels back.
#pragma once

#include "Gdi.h"

struct MemoryCanvas
{
    MemoryCanvas(int cx, int cy)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, cx, cy);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, RGB(255, 255, 255));
    }
    ~MemoryCanvas() { dc.SelectObject(old); }
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};
