#include "Shell.h"

#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <vector>
#include "Process.h"
#include "ProgramTable.h"

namespace
{
// The console programs we start have no window to hide, and windowed programs decide their
// own, as they do on Windows: the show command changes nothing in how a program starts.
DWORD StartDetached(const std::vector<std::string>& args, const std::string& dir)
{
    std::string dirUtf8 = CProgramTable::ToFileName(dir);
    if (!dir.empty())
    {
        struct stat st;
        if (stat(dirUtf8.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return ERROR_PATH_NOT_FOUND;
    }
    std::vector<std::string> argv;
    DWORD err = CProgramTable::ResolveCommand(args, dir, argv);
    if (err == ERROR_SUCCESS)
        err = CProcessLauncher::Start(argv, dirUtf8, true);
    return err;
}
} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory, INT)
{
    DWORD err;
    if (lpOperation && *lpOperation && strcasecmp(lpOperation, "open") != 0)
        err = SE_ERR_NOASSOC; // no other verb has anything to run here
    else if (!lpFile || !*lpFile)
        err = ERROR_FILE_NOT_FOUND;
    else
    {
        std::vector<std::string> args = CProgramTable::SplitCommandLine(lpParameters);
        args.insert(args.begin(), lpFile);
        err = StartDetached(args, lpDirectory ? lpDirectory : "");
    }
    if (err != ERROR_SUCCESS)
    {
        SetLastError(err);
        return (HINSTANCE)(INT_PTR)err;
    }
    SetLastError(ERROR_SUCCESS);
    return (HINSTANCE)(INT_PTR)42;
}

UINT WinExec(LPCSTR lpCmdLine, UINT)
{
    std::vector<std::string> args = CProgramTable::SplitCommandLine(lpCmdLine);
    DWORD err = args.empty() ? (DWORD)ERROR_FILE_NOT_FOUND : StartDetached(args, "");
    if (err != ERROR_SUCCESS)
    {
        SetLastError(err);
        return err == ERROR_NOT_ENOUGH_MEMORY ? 0 : (UINT)err;
    }
    SetLastError(ERROR_SUCCESS);
    return 33;
}
