#include "OptionData.h"

// Host names come from the build; scheme, port and path are the services' own.
COptionData::COptionData()
    : m_HomePageUrl("http://" PARVEL_HOST_WEB "/kesta/index_cas.php"),
      m_UserAuthorityUrl("http://" PARVEL_HOST_AUTH ":11372/velkorauth/actions/outer/user/menu.action"),
      m_InterfaceUrl("http://" PARVEL_HOST_INTERFACE "/velkor/oos/oos_param_get.php"),
      m_FirstLink("http://" PARVEL_HOST_WEB "/kesta/kesta_cas_login.php"),
      m_QueryLink("http://" PARVEL_HOST_QUERY "/kesta/gox.php"),
      m_UpdateClientName("Renewo.exe"),
      m_UpdateClientUrl("http://" PARVEL_HOST_UPDATE ":81/velkor_khd/w/"),
      m_AccountLoginUrl("https://" PARVEL_HOST_CAS ":8443/cas3.4/login"),
      m_AccountLogoutUrl("https://" PARVEL_HOST_CAS ":8443/cas3.4/logout"),
      m_FindPwdUrl("http://" PARVEL_HOST_PORTAL ":30088/velkorsoa/portal/login/mimazhaohui.jsp"),
      m_TransUrlListUrl("http://" PARVEL_HOST_WEB ":45178/kesta/notify/transition_cs_interface.php"),
      m_MessageUrl("http://" PARVEL_HOST_ORDER "/api/order/reverse.php"),
      m_VpnRegUrl("http://" PARVEL_HOST_VPN ":45158/velkorvpn/actions/outer/api/option.action"),
      m_SQVpnUrl("https://" PARVEL_HOST_VPN ":8443/vpn/login.html"),
      m_GhostScriptPath("gswin32c.exe"),
      m_ClientID("100000013"),
      m_ClientType(1),
      m_FirstRun(1),
      m_MiniSizeAtExit(0),
      m_LargeIcons(0), // a record outside static storage must not start with garbage
      m_MinuteToOff(10)
{
}

COptionData::COptionData(const COptionData& src) = default;

COptionData& COptionData::operator=(const COptionData& src) = default;

COptionData::~COptionData() {}
