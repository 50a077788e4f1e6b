// The label-print worker: one thread per label that a page asks for. Workers take turns through
// a named mutex, so labels print one at a time.
#pragma once

#include "AfxWin.h"
#include "Guid.h"
#include "ParvelApp.h"

// To the main window: wParam the order number, lParam the result text (both valid during the call).
#define WM_PRINT_RESULT 0x84D

// Exists while a label print runs.
#define PRINT_PDF_MUTEX "PrintPDFing"
// Follows the order number in the label service's signature.
#define LABEL_SIGN_SUFFIX "vorn_plack_edsu"
// A request that finds more entries than this empties the queue first.
#define PRINT_QUEUE_LIMIT 100

#define PRINT_RESULT_OK "成功！"
#define PRINT_RESULT_PRINT_FAILED "打印失败！"
#define PRINT_RESULT_DOWNLOAD_FAILED "文件下载失败！"

// Width and height in inches from a size text such as "4*6": only its first 8 bytes count; the
// width stands before the first "*" that follows some text, the height after it.
void ParseLabelSize(const char* pszSize, float& fWidth, float& fHeight);

// Queues the label in the application's print queue (emptied first above PRINT_QUEUE_LIMIT
// entries) and starts its worker. The entry's index in the queue.
INT_PTR StartLabelPrint(const char* pszOrderNo, const char* pszSize);

// The temporary file name of a label: the GUID's fields in blank-padded upper-case hex, ".TMP".
CString FormatLabelFileName(const GUID& guid);
// The label address: the service address, the order number, "&jmm=" and the signature.
CString BuildLabelUrl(const CString& strServiceUrl, const CString& strOrderNo);

// TRUE when the label folder and the user's temporary folder that holds it belong to this user
// alone (made when missing); a symbolic link or another user's folder gives FALSE.
BOOL LabelFolderIsPrivate(const CString& strFolder);
// The worker. pParam: a heap copy of its queue entry (ORDER_PRINT_INFO*), which it deletes; the
// queue itself may be emptied by the GUI thread at any time.
UINT PrintWaybillThreadProc(LPVOID pParam);
