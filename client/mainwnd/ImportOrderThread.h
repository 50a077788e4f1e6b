// The order-import worker: the operator picks an Excel order sheet, the worker reads and packs
// it and hands it to the main window, which uploads it. One import at a time.
#pragma once

#include "AfxWin.h"
#include "ParvelApp.h"

// To the main window when the payload waits in CParvelApp::m_strImportData; no parameters.
#define WM_IMPORT_DONE 0x84E

#define IMPORT_FILE_FILTER "Data Files (*.xls)| *.xls||"
#define IMPORT_RUNNING_TEXT "当前正在进行导入操作，请稍候再试！"

// Starts the worker unless an import runs (then says so in a message box). TRUE when started.
// Called on the GUI thread by the page's importOrder and the main window's import command.
BOOL StartOrderImport();

// The payload of an order sheet's text (UTF-8): ANSI, then Base64, then URL-encoded.
CString PackImportData(const char* pszOrderText);

// The worker: 0 after the hand-over, 1 when no file was chosen or the file gave no orders.
UINT ImportOrderThreadProc(LPVOID pParam);
