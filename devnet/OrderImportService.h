// The order-import service: checks the upload's validation against its body and shows what it
// received.
#pragma once

#include "DevnetConfig.h"

#include <httplib.h>

class COrderImportService
{
public:
    explicit COrderImportService(CDevnetContext& context);
    void Register(httplib::Server& server);

private:
    void OnOrderImport(const httplib::Request& req, httplib::Response& res);

    CDevnetContext& m_context;
};
