// Routes under /devnet/ for the tests: an echo of the request, redirects, error statuses,
// files of a given size (whole, slow or cut off) and the CAS sign-on expiry.
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

class CCasService;

class CTestControl
{
public:
    CTestControl(CDevnetContext& context, CCasService& cas);
    void Register(httplib::Server& server);

private:
    CDevnetContext& m_context;
    CCasService& m_cas;
};
