// The label-PDF service: a signed request gets a one-page label PDF of the asked size.
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

class CLabelService
{
public:
    explicit CLabelService(CDevnetContext& context);
    void Register(httplib::Server& server);

private:
    void OnLabelPdf(const httplib::Request& req, httplib::Response& res);

    CDevnetContext& m_context;
};
