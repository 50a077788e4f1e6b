// The windowing layer started for the whole run in a scratch working folder of its own: message
// boxes are answered at once and logged (msgbox.log), program starts logged (shell.log), and the
// registry hives and named mutexes kept inside the folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include "GuiEnvironment.h"
#include "TestFiles.h"

class CClientEnvironment : public CGuiEnvironment
{
public:
    // pszFolderPrefix: the scratch folder is "/tmp/<prefix>-XXXXXX".
    CClientEnvironment(const char* pszProgram, const char* pszFolderPrefix)
        : CGuiEnvironment(pszProgram), m_strPrefix(pszFolderPrefix)
    {
    }

    void SetUp() override
    {
        m_strFolder = MakeTempFolder(m_strPrefix);
        ASSERT_FALSE(m_strFolder.empty());
        ASSERT_EQ(0, chdir(m_strFolder.c_str()));
        setenv("PARVEL_MSGBOX_AUTO", "IDOK", 1);
        setenv("PARVEL_MSGBOX_LOG", (m_strFolder + "/msgbox.log").c_str(), 1);
        setenv("PARVEL_SHELL_LOG", (m_strFolder + "/shell.log").c_str(), 1);
        setenv("PARVEL_HKLM_HIVE", (m_strFolder + "/hklm.hive").c_str(), 1);
        setenv("PARVEL_HKCU_HIVE", (m_strFolder + "/hkcu.hive").c_str(), 1);
        setenv("PARVEL_MUTEX_DIR", (m_strFolder + "/mutex").c_str(), 1);
        CGuiEnvironment::SetUp();
    }
    void TearDown() override
    {
        CGuiEnvironment::TearDown();
        RemoveFolder(m_strFolder);
    }

    const std::string& Folder() const { return m_strFolder; }

private:
    std::string m_strPrefix;
    std::string m_strFolder;
};
