#include "OptionCtrl.h"

#include <cerrno>
#include <cstdlib>
#include <climits>
#include "FileFind.h"
#include "LRegistry.h"
#include "OptionFileStore.h"

namespace
{
const char s_fileName[] = "VelkorOption.cfg";
const char s_optionSection[] = "OptionData";
const char s_runTimeSection[] = "RunTimeInfo";
const char s_runKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// A decimal integer as the C runtime reads it: leading blanks, a sign, digits; 0 for text.
int ToInt(const CString& s)
{
    errno = 0;
    long long v = strtoll(s, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return (int)v;
}

CString FromInt(int n)
{
    CString s;
    s.Format("%d", n);
    return s;
}
} // namespace

COptionCtrl::COptionCtrl() { g_optionFileStore.SetFileName(s_fileName); }

COptionCtrl::~COptionCtrl() {}

COptionCtrl& COptionCtrl::operator=(const COptionCtrl&) { return *this; }

COptionData& COptionCtrl::GetOptionData()
{
    static COptionData s_optionData;
    return s_optionData;
}

void COptionCtrl::LoadOptionFile()
{
    if (!g_optionFileStore.ReadAll())
    {
        SaveOptionToFile(); // first start: the file is made from the defaults
        return;
    }
    COptionData& data = GetOptionData();
    if (!g_optionFileStore.GetValue(s_optionSection, "FirstRun", "").IsEmpty())
        data.SetNotFirstRun();
    data.MiniSizeAtExit(ToInt(g_optionFileStore.GetValue(s_optionSection, "MiniSizeAtExit", "")));
    data.UseLargeIcons(ToInt(g_optionFileStore.GetValue(s_optionSection, "LargeIcons", "")));
    data.SetMinuteToOff((WORD)ToInt(g_optionFileStore.GetValue(s_optionSection, "MinuteToOff", "")));
    data.SetLocalVersion(g_optionFileStore.GetValue(s_optionSection, "LocalVersion", ""));
    data.SetUserName(g_optionFileStore.GetValue(s_runTimeSection, "UserName", ""));
    data.SetPrinter(g_optionFileStore.GetValue(s_runTimeSection, "PrinterName", ""));
}

void COptionCtrl::SaveOptionToFile()
{
    COptionData& data = GetOptionData();
    g_optionFileStore.SetValue(s_optionSection, "MiniSizeAtExit", FromInt(data.IsMiniSizeAtExit()));
    g_optionFileStore.SetValue(s_optionSection, "MinuteToOff", FromInt(data.GetMinuteToOff()));
    g_optionFileStore.WriteAll();
}

void COptionCtrl::SetServerUrlInfo(const char* pszFirstLink, const char* pszQueryLink, const char* pszMenuUrl,
                                   const char* pszMailLabelPdfUrl, const char* pszMailImportUrl,
                                   const char* pszSessionMsgUrl)
{
    COptionData& data = GetOptionData();
    data.SetFirstLink(pszFirstLink);
    data.SetQueryLink(pszQueryLink);
    data.SetMenuUrl(pszMenuUrl);
    data.SetMailLabelPdfUrl(pszMailLabelPdfUrl);
    data.SetMailImportUrl(pszMailImportUrl);
    data.SetSessionMsgUrl(pszSessionMsgUrl);
}

void COptionCtrl::SetUserInfo(const char* pszUserName, const char* pszSessionId, const char* pszTGT)
{
    COptionData& data = GetOptionData();
    data.SetUserName(pszUserName);
    g_optionFileStore.SetValue(s_runTimeSection, "UserName", pszUserName ? pszUserName : "");
    g_optionFileStore.WriteAll();
    data.SetSessionId(pszSessionId);
    data.SetTGT(pszTGT);
}

void COptionCtrl::SetPathInfo(const char* pszFullPath)
{
    char szDrive[3] = "";
    char szDir[260] = "";
    char szName[256] = "";
    char szExt[256] = "";
    _splitpath_s(pszFullPath ? pszFullPath : "", szDrive, sizeof(szDrive), szDir, sizeof(szDir), szName, sizeof(szName),
                 szExt, sizeof(szExt));

    const CString strAppPath = "./"; // the working folder
    const CString strAppName = CString(szName) + szExt;
    const CString strDownloadPath = strAppPath + "download/";
    const CString strUpdatePath = strAppPath + "Update/";
    char szTemp[260] = "";
    if (GetTempPath(sizeof(szTemp), szTemp) >= sizeof(szTemp))
        szTemp[0] = '\0'; // too long for the buffer: fall back to the working folder
    const CString strTempPath = CString(szTemp) + "pdfdownload/";
    // Labels wait here for the printer: no other user may read or swap them. A folder that
    // cannot be made private is left alone; the label worker refuses it.
    if (!szTemp[0] || CreatePrivateDirectory(szTemp))
        CreatePrivateDirectory(strTempPath);

    COptionData& data = GetOptionData();
    data.SetAppFullPath(pszFullPath);
    data.SetAppPath(strAppPath);
    data.SetAppName(strAppName);
    data.SetDownloadPath(strDownloadPath);
    data.SetUpdatePath(strUpdatePath);
    data.SetTempPath(strTempPath);
}

void COptionCtrl::SetPrinterInfo(const char* pszPrinter)
{
    GetOptionData().SetPrinter(pszPrinter);
    g_optionFileStore.SetValue(s_runTimeSection, "PrinterName", pszPrinter ? pszPrinter : "");
    g_optionFileStore.WriteAll();
}

void COptionCtrl::SetLocalVersionInfo(const char* pszVersion) { GetOptionData().SetLocalVersion(pszVersion); }

void COptionCtrl::SetOptionInfo(int nMinutes) { GetOptionData().SetMinuteToOff((WORD)nMinutes); }

int COptionCtrl::ModifyOption(HWND) { return 1; }

int COptionCtrl::IsAutoRun()
{
    const CString strName = GetOptionData().GetAppName();
    if (strName.IsEmpty())
        return 0; // no program name yet: there is no value to look for
    CLRegistry reg;
    if (!reg.Open(HKEY_LOCAL_MACHINE, s_runKey, KEY_ALL_ACCESS))
        return 0;
    return reg.QueryValue(strName) ? 1 : 0;
}

void COptionCtrl::EnableAutoRun(int bEnable)
{
    COptionData& data = GetOptionData();
    const CString strName = data.GetAppName();
    if (strName.IsEmpty())
        return;
    CLRegistry reg;
    if (!reg.Open(HKEY_LOCAL_MACHINE, s_runKey, KEY_ALL_ACCESS))
        return;
    const CString strCommand = data.GetAppPath() + strName;
    if (reg.QueryValue(strName))
    {
        if (bEnable)
            reg.WriteString(strCommand, strName);
        else
            reg.DeleteValue(strName);
    }
    else if (bEnable)
        reg.WriteString(strCommand, strName);
    reg.Close();
}

void COptionCtrl::EnableMiniSizeAtExit(int nValue)
{
    GetOptionData().MiniSizeAtExit(nValue);
    g_optionFileStore.SetValue(s_optionSection, "MiniSizeAtExit", FromInt(nValue));
    g_optionFileStore.WriteAll();
    SetNotFirstRun();
}

void COptionCtrl::EnableLargeIcons(int nValue)
{
    GetOptionData().UseLargeIcons(nValue);
    g_optionFileStore.SetValue(s_optionSection, "LargeIcons", FromInt(nValue));
    g_optionFileStore.WriteAll();
}

void COptionCtrl::SetNotFirstRun()
{
    GetOptionData().SetNotFirstRun();
    g_optionFileStore.SetValue(s_optionSection, "FirstRun", "0");
    g_optionFileStore.WriteAll();
}
