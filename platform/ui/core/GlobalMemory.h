// Global memory blocks under their Windows names. A handle that is not a live block is refused
// (ERROR_INVALID_HANDLE), never followed.
#pragma once

#include "WinTypes.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// GMEM_FIXED: the handle is the block's address. GMEM_MOVEABLE: lock it to get the address.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void* GlobalLock(HGLOBAL h);
BOOL GlobalUnlock(HGLOBAL h);  // TRUE while still locked
HGLOBAL GlobalFree(HGLOBAL h);  // NULL on success, the handle on failure
size_t GlobalSize(HGLOBAL h);
HGLOBAL GlobalReAlloc(HGLOBAL h, size_t bytes, UINT flags);

PARVEL_UI_END_EXPORTS
