// Business pages that exercise the client's page tabs: a page that opens a window, one that
// closes its own window, one with a script error, one with message boxes, one whose message
// names the browser's refusal of an ActiveX control, one that calls every
// window.external method and offers a script function, one whose source says the CAS sign-on
// failed, and addresses that are down (the trans-URL list names them with --translist-down).
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

class CPageBehaviours
{
public:
    explicit CPageBehaviours(CDevnetContext& context) : m_context(context) {}
    void Register(httplib::Server& server);

private:
    CDevnetContext& m_context;
};
