// The program's resources: string tables, dialog templates, bitmaps, icons and raw data, kept as
// C++ data and files embedded at build time. The program registers them at start-up (static
// registrars in its resource sources); the framework and the resource calls look them up by id.
#pragma once

#include "WinTypes.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

// One control of a dialog template. Coordinates are dialog units.
struct DLGITEMTEMPLATE_DATA
{
    int nID;              // control id (IDC_STATIC, -1, for unnamed statics)
    const char* lpszClass; // "Button", "Edit", "Static", "msctls_progress32", ...
    const char* lpszText; // GBK text; for SS_BITMAP / SS_ICON statics the resource id as "#344"
    DWORD dwStyle;        // WS_CHILD is added; WS_VISIBLE as in resource scripts: give it to show
    DWORD dwExStyle;
    short x, y, cx, cy;
};

// A dialog template: style, size in dialog units, font and the control list.
struct DLGTEMPLATE_DATA
{
    DWORD dwStyle;
    DWORD dwExStyle;
    short x, y, cx, cy;
    const char* lpszCaption; // GBK
    WORD wPointSize;         // DS_SETFONT: font size in points
    const char* lpszFace;    // DS_SETFONT: font face (GBK); DS_FIXEDSYS takes the system's dialog font
    const DLGITEMTEMPLATE_DATA* pItems;
    int nItems;
};

class CResourceRegistry
{
public:
    static void AddString(UINT nID, const char* lpszText);  // GBK, kept by pointer
    static void AddDialog(UINT nID, const DLGTEMPLATE_DATA* pTemplate);
    // Binary resources by id or name and type (RT_BITMAP, RT_ICON, RT_RCDATA, or a named type such
    // as "GIF"); the bytes are kept by pointer. Bitmaps and icons are image files (BMP, PNG, ICO).
    static void AddData(const char* lpszName, const char* lpszType, const void* pData, DWORD dwSize);
    static void AddData(UINT nID, const char* lpszType, const void* pData, DWORD dwSize);
    // An accelerator table (LoadAccelerators); the entries are kept by pointer.
    static void AddAccelerators(UINT nID, const struct tagACCEL* pEntries, int nEntries);

    // Strings of a named resource-only module (another library's string table), which
    // LoadLibrary finds by name (case-insensitive) and LoadString reads through its handle.
    static void AddModuleString(const char* lpszModule, UINT nID, const char* lpszText);

    static const char* FindString(UINT nID);
    static const DLGTEMPLATE_DATA* FindDialog(UINT nID);
    // Name and type may be integer resources (MAKEINTRESOURCE) or "#123" texts.
    static BOOL FindData(const char* lpszName, const char* lpszType, const void** ppData, DWORD* pdwSize);
    // The lowest number among the resources of a type given by number (the program's icon is its
    // first icon); FALSE when there is none.
    static BOOL FirstDataId(const char* lpszType, UINT* pnID);
};

// Registers resources from a static initialiser in a source of the program itself (not of a
// static library, whose unreferenced objects the linker drops; there call a registration
// function from the program instead):
//   static CResourceRegistrar s_reg([] { CResourceRegistry::AddString(128, "..."); });
struct CResourceRegistrar
{
    explicit CResourceRegistrar(void (*pfnRegister)()) { pfnRegister(); }
};

// Resource-only modules registered with AddModuleString; NULL for any other name.
HMODULE LoadLibraryA(LPCSTR lpszLibFileName);
BOOL FreeLibrary(HMODULE hModule);
#define LoadLibrary LoadLibraryA

PARVEL_UI_END_EXPORTS
