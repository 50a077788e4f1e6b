// The facade of the configuration: the one option record, the option file "VelkorOption.cfg"
// in the working folder, and the program's autorun value. Holds no data of its own.
#pragma once

#include "OptionData.h"
#include "OptionExport.h"
#include "WinTypes.h"

class OPTION_API COptionCtrl
{
public:
    COptionCtrl();
    ~COptionCtrl();
    COptionCtrl(const COptionCtrl&) = default;
    COptionCtrl& operator=(const COptionCtrl&);

    static COptionData& GetOptionData();

    void LoadOptionFile();
    void SaveOptionToFile();

    void SetServerUrlInfo(const char* pszFirstLink, const char* pszQueryLink, const char* pszMenuUrl,
                          const char* pszMailLabelPdfUrl, const char* pszMailImportUrl, const char* pszSessionMsgUrl);
    void SetUserInfo(const char* pszUserName, const char* pszSessionId, const char* pszTGT);
    void SetPathInfo(const char* pszFullPath);
    void SetPrinterInfo(const char* pszPrinter);
    void SetLocalVersionInfo(const char* pszVersion);
    void SetOptionInfo(int nMinutes);

    int ModifyOption(HWND hParent);

    int IsAutoRun();
    void EnableAutoRun(int bEnable);

    void EnableMiniSizeAtExit(int nValue);
    void EnableLargeIcons(int nValue);
    void SetNotFirstRun();
};
