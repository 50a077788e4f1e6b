// The one option record of the process: server addresses, working paths, the signed-on user,
// the local version and the user's settings. Its layout is shared with the program, which reads
// it through the inline getters: change the fields only together with every user of this header.
#pragma once

#include "CString.h"
#include "FileApi.h"    // GetTempPath -> GetTempPathA
#include "SystemInfo.h" // GetUserName -> GetUserNameA
#include "WinTypes.h"
#include "OptionExport.h"

class COptionCtrl;

class OPTION_API COptionData
{
    friend class COptionCtrl;

public:
    COptionData();
    COptionData(const COptionData& src);
    COptionData& operator=(const COptionData& src);

    const CString GetHomePageUrl() const { return m_HomePageUrl; }
    const CString GetUserAuthorityUrl() const { return m_UserAuthorityUrl; }
    const CString GetInterfaceUrl() const { return m_InterfaceUrl; }
    const CString GetFirstLink() const { return m_FirstLink; }
    const CString GetQueryLink() const { return m_QueryLink; }
    const CString GetUpdateClientName() const { return m_UpdateClientName; }
    const CString GetUpdateClientUrl() const { return m_UpdateClientUrl; }
    const CString GetAccountLoginUrl() const { return m_AccountLoginUrl; }
    const CString GetAccountLogoutUrl() const { return m_AccountLogoutUrl; }
    const CString GetMenuUrl() const { return m_MenuUrl; }
    const CString GetMailLabelPdfUrl() const { return m_MailLabelPdfUrl; }
    const CString GetMailImportUrl() const { return m_MailImportUrl; }
    const CString GetFindPwdUrl() const { return m_FindPwdUrl; }
    const CString GetSessionMsgUrl() const { return m_SessionMsgUrl; }
    const CString GetTransUrlListUrl() const { return m_TransUrlListUrl; }
    const CString GetMessageUrl() const { return m_MessageUrl; }
    const CString GetVpnRegUrl() const { return m_VpnRegUrl; }
    const CString GetSQVpnUrl() const { return m_SQVpnUrl; }
    const CString GetSessionId() const { return m_SessionId; }
    const CString GetUserName() const { return m_UserName; }
    const CString GetTGT() const { return m_TGT; }
    const CString GetDownloadPath() const { return m_DownloadPath; }
    const CString GetUpdatePath() const { return m_UpdatePath; }
    const CString GetTempPath() const { return m_TempPath; }
    const CString GetAppFullPath() const { return m_AppFullPath; }
    const CString GetAppPath() const { return m_AppPath; }
    const CString GetAppName() const { return m_AppName; }
    const CString GetPrinter() const { return m_Printer; }
    const CString GetGhostScriptPath() const { return m_GhostScriptPath; }
    const CString GetLocalVersion() const { return m_LocalVersion; }
    const CString GetClientID() const { return m_ClientID; }
    int GetClientType() const { return m_ClientType; }
    int IsFirstRun() const { return m_FirstRun; }
    int IsMiniSizeAtExit() const { return m_MiniSizeAtExit; }
    int IsLargeIcons() const { return m_LargeIcons; }
    WORD GetMinuteToOff() const { return m_MinuteToOff; }

private:
    // Only the option control ends the record's life.
    virtual ~COptionData();

    // An empty text leaves a field as it is.
    void SetUserAuthorityUrl(const char* psz) { if (psz && *psz) m_UserAuthorityUrl = psz; }
    void SetInterfaceUrl(const char* psz) { if (psz && *psz) m_InterfaceUrl = psz; }
    void SetFirstLink(const char* psz) { if (psz && *psz) m_FirstLink = psz; }
    void SetQueryLink(const char* psz) { if (psz && *psz) m_QueryLink = psz; }
    void SetUpdateClientName(const char* psz) { if (psz && *psz) m_UpdateClientName = psz; }
    void SetUpdateClientUrl(const char* psz) { if (psz && *psz) m_UpdateClientUrl = psz; }
    void SetAccountLoginUrl(const char* psz) { if (psz && *psz) m_AccountLoginUrl = psz; }
    void SetAccountLogoutUrl(const char* psz) { if (psz && *psz) m_AccountLogoutUrl = psz; }
    void SetMenuUrl(const char* psz) { if (psz && *psz) m_MenuUrl = psz; }
    void SetMailLabelPdfUrl(const char* psz) { if (psz && *psz) m_MailLabelPdfUrl = psz; }
    void SetMailImportUrl(const char* psz) { if (psz && *psz) m_MailImportUrl = psz; }
    void SetFindPwdUrl(const char* psz) { if (psz && *psz) m_FindPwdUrl = psz; }
    void SetSessionMsgUrl(const char* psz) { if (psz && *psz) m_SessionMsgUrl = psz; }
    void SetSessionId(const char* psz) { if (psz && *psz) m_SessionId = psz; }
    void SetUserName(const char* psz) { if (psz && *psz) m_UserName = psz; }
    void SetTGT(const char* psz) { if (psz && *psz) m_TGT = psz; }
    void SetDownloadPath(const char* psz) { if (psz && *psz) m_DownloadPath = psz; }
    void SetUpdatePath(const char* psz) { if (psz && *psz) m_UpdatePath = psz; }
    void SetTempPath(const char* psz) { if (psz && *psz) m_TempPath = psz; }
    void SetAppFullPath(const char* psz) { if (psz && *psz) m_AppFullPath = psz; }
    void SetAppPath(const char* psz) { if (psz && *psz) m_AppPath = psz; }
    void SetAppName(const char* psz) { if (psz && *psz) m_AppName = psz; }
    void SetPrinter(const char* psz) { if (psz && *psz) m_Printer = psz; }
    void SetLocalVersion(const char* psz) { if (psz && *psz) m_LocalVersion = psz; }
    void SetMinuteToOff(WORD wMinutes) { if (wMinutes != 0) m_MinuteToOff = wMinutes; }
    void MiniSizeAtExit(int nValue) { m_MiniSizeAtExit = nValue; }
    void UseLargeIcons(int nValue) { m_LargeIcons = nValue; }
    void SetNotFirstRun() { m_FirstRun = 0; }

    CString m_HomePageUrl;
    CString m_UserAuthorityUrl;
    CString m_InterfaceUrl;
    CString m_FirstLink;
    CString m_QueryLink;
    CString m_UpdateClientName;
    CString m_UpdateClientUrl;
    CString m_AccountLoginUrl;
    CString m_AccountLogoutUrl;
    CString m_MenuUrl;
    CString m_MailLabelPdfUrl;
    CString m_MailImportUrl;
    CString m_FindPwdUrl;
    CString m_SessionMsgUrl;
    CString m_TransUrlListUrl;
    CString m_MessageUrl;
    CString m_VpnRegUrl;
    CString m_SQVpnUrl;
    CString m_SessionId;
    CString m_UserName;
    CString m_TGT;
    CString m_DownloadPath;
    CString m_UpdatePath;
    CString m_TempPath;
    CString m_AppFullPath;
    CString m_AppPath;
    CString m_AppName;
    CString m_Printer;
    CString m_GhostScriptPath;
    CString m_LocalVersion;
    CString m_ClientID;
    int m_ClientType;
    int m_FirstRun;
    int m_MiniSizeAtExit;
    int m_LargeIcons;
    WORD m_MinuteToOff;
};
