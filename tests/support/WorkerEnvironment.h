// The client environment of the label and order-sheet workers: labels go to the CUPS default
// printer, files are made in the scratch folder, and the workers log through Scrivo under
// ./log/. Message boxes carry the given application name, one that no other window has.
#pragma once

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include "ClientEnvironment.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "Scrivo.h"

class CWorkerEnvironment : public CClientEnvironment
{
public:
    CWorkerEnvironment(const char* pszProgram, const char* pszFolderPrefix, const char* pszLogName,
                       const char* pszAppName)
        : CClientEnvironment(pszProgram, pszFolderPrefix), m_pszLogName(pszLogName), m_pszAppName(pszAppName)
    {
    }

    void SetUp() override
    {
        // The default printer comes from CUPS ("PDF", made the default by scripts/services.sh).
        unsetenv("LPDEST");
        unsetenv("PRINTER");
        // The file chooser keeps its settings in memory: no session bus here.
        setenv("GSETTINGS_BACKEND", "memory", 1);
        CClientEnvironment::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        // The label folder is made under the temporary folder when the paths are set.
        setenv("TMPDIR", Folder().c_str(), 1);
        unsetenv("XDG_RUNTIME_DIR");
        mkdir("log", 0755);
        COptionCtrl().SetPathInfo((Folder() + "/Parvel").c_str());
        Scrivo::setLogPath("./log/");
        Scrivo::setLogLevel(8);
        Scrivo::init(m_pszLogName);
        theApp.m_pszAppName = m_pszAppName;
    }

private:
    const char* m_pszLogName;
    const char* m_pszAppName;
};
