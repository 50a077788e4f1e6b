// Windows program names and command lines as this system runs them.
#pragma once

#include <string>
#include <vector>
#include "WinTypes.h"
#include "BaseExport.h"

PARVEL_BASE_BEGIN_EXPORTS

class CProgramTable
{
public:
    // Splits a command line as Windows programs split theirs (quotes, backslashes before
    // quotes); the two bytes of a GBK character always stay together.
    static std::vector<std::string> SplitCommandLine(const char* pszCommandLine);

    // Turns a program with its arguments (ANSI text) into the argument vector to run, in
    // the file-name encoding: "cmd /c X ..." runs X; a file that exists runs as it is; a
    // Windows program name runs its installed counterpart. Relative paths are taken from
    // strDir when it is not empty. Gives ERROR_SUCCESS or the Windows error of the start.
    static DWORD ResolveCommand(const std::vector<std::string>& args, const std::string& strDir,
                                std::vector<std::string>& argv);

    // The installed counterpart of a Windows executable name ("chrome.exe"), as a full path
    // in ANSI text; FALSE when it has none or none is installed.
    static BOOL FindAppPath(const char* pszExeName, std::string& strPath);

    // For the registry: when the key path (under HKEY_LOCAL_MACHINE) is an App Paths key,
    // "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\<exe>", gives TRUE and in strPath
    // the default value that key holds here ("" when the program is not installed, so the
    // key does not exist).
    static BOOL ReadAppPathsKey(const char* pszKeyPath, std::string& strPath);

    // A path in ANSI text, with Windows backslashes, as this system's file name.
    static std::string ToFileName(const std::string& strAnsiPath);

    // An executable file of the given name in a folder of PATH, or "".
    static std::string FindOnPath(const std::string& strName);
};

PARVEL_BASE_END_EXPORTS
