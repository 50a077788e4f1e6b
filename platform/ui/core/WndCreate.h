// Inside the windowing layer: making a window's record, widget and object binding (GUI thread).
#pragma once

#include "WndRecord.h"

// Makes the window of cs's class for pWnd (NULL for a window of a program-registered class, whose
// procedure then gets its messages); pWnd->m_hWnd is set before WM_CREATE. NULL on failure.
HWND CreateWindowRecord(CWnd* pWnd, CREATESTRUCT& cs);
