#include "Printer.h"

#include <cstdio>
#include <cstring>
#include <cups/cups.h>
#include <string>
#include "CodePage.h"
#include "Process.h"
#include "ProgramTable.h"

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

DWORD StartPrintingOutput(const std::vector<std::string>& program, LPCSTR pszPrinter, double dWidthPoints,
                          double dHeightPoints)
{
    std::vector<std::string> writer;
    DWORD err = CProgramTable::ResolveCommand(program, "", writer);
    std::string lp = CProgramTable::FindOnPath("lp");
    if (err == ERROR_SUCCESS && lp.empty())
        err = ERROR_FILE_NOT_FOUND;
    if (err == ERROR_SUCCESS)
    {
        // Without the media the queue fits the page onto its default paper.
        char szMedia[96];
        snprintf(szMedia, sizeof(szMedia), "media=Custom.%.0fx%.0f", dWidthPoints, dHeightPoints);
        std::vector<std::string> reader = { lp, "-d", CCodePage::AnsiToUtf8(pszPrinter ? pszPrinter : ""), "-o",
                                            szMedia };
        err = CProcessLauncher::StartPipeline(writer, reader, "");
    }
    SetLastError(err);
    return err;
}
