// InternetSetCookieA: stores a cookie for an address in the browser's cookie store.
// lpszCookieName NULL: lpszCookieData is "name=value[; attributes]". Without attributes the
// cookie is a session cookie for the address's host (that host only) and the folder of its path. Navigations that start after the call load only once the cookie
// is stored. FALSE for an address that is not http or https or a cookie without a name.
#pragma once

#include "WinTypes.h"
#include "WebExport.h"

PARVEL_WEB_BEGIN_EXPORTS

BOOL InternetSetCookieA(LPCSTR lpszUrl, LPCSTR lpszCookieName, LPCSTR lpszCookieData);
#define InternetSetCookie InternetSetCookieA

PARVEL_WEB_END_EXPORTS
