#include "Printer.h"

#include <cstring>
#include <cups/cups.h>
#include <string>
#include "CodePage.h"

BOOL GetDefaultPrinterA(LPSTR pszBuffer, DWORD* pcchBuffer)
{
    if (!pcchBuffer)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // CUPS keeps its server setting per thread; reset it so CUPS_SERVER is read afresh.
    cupsSetServer(nullptr);
    const char* pszDefault = cupsGetDefault();
    if (!pszDefault || !*pszDefault)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::string name = CCodePage::Utf8ToAnsi(pszDefault);
    DWORD needed = (DWORD)name.size() + 1;
    if (!pszBuffer || *pcchBuffer < needed)
    {
        *pcchBuffer = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(pszBuffer, name.c_str(), needed);
    *pcchBuffer = needed;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
