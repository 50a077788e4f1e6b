// Switches of the tests, kept out of the shipped libraries. Linked into a test program
// (parvel_test_switches) or preloaded into a program that a test starts (libParvelTestSwitches.so
// in LD_PRELOAD), these stand in for the platform's MessageBox and program starts, do what the
// environment asks and hand over to the real ones:
//   PARVEL_MSGBOX_LOG=<file>  every box appends "caption<TAB>text" (UTF-8, line breaks as "\n")
//                             to the file before it shows;
//   PARVEL_MSGBOX_AUTO=<IDOK|IDCANCEL|IDABORT|IDRETRY|IDIGNORE|IDYES|IDNO|number>  every box
//                             answers at once without showing;
//   PARVEL_SHELL_LOG=<file>   every program start appends its command line.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>
#include "CodePage.h"
#include "Process.h"
#include "WinUser.h"

namespace
{
// The platform's own function of that (mangled) name, the next one after this stand-in.
template <typename F>
F RealFunction(const char* pszName)
{
    void* p = dlsym(RTLD_NEXT, pszName);
    if (!p)
    {
        fprintf(stderr, "test switches: the platform has no %s\n", pszName);
        abort();
    }
    return reinterpret_cast<F>(p);
}

void AppendLine(const char* pszEnv, const std::string& line)
{
    static std::mutex s_lock;
    const char* path = getenv(pszEnv);
    if (!path || !*path)
        return;
    std::lock_guard<std::mutex> guard(s_lock);
    int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    // One write per line, so that lines of other processes on the same file do not interleave.
    ssize_t done = write(fd, line.data(), line.size());
    (void)done;
    close(fd);
}

void LogBox(const char* caption, const char* text)
{
    if (!getenv("PARVEL_MSGBOX_LOG"))
        return;
    std::string line = CCodePage::AnsiToUtf8(caption) + "\t";
    for (char c : CCodePage::AnsiToUtf8(text))
    {
        if (c == '\n')
            line += "\\n";
        else if (c != '\r')
            line += c;
    }
    AppendLine("PARVEL_MSGBOX_LOG", line + "\n");
}

// The answer PARVEL_MSGBOX_AUTO gives, 0 when boxes are to be shown.
int AutoAnswer()
{
    const char* a = getenv("PARVEL_MSGBOX_AUTO");
    if (!a || !*a)
        return 0;
    static const struct { const char* name; int id; } names[] = {
        {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY},
        {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES}, {"IDNO", IDNO}};
    for (auto& n : names)
        if (strcmp(a, n.name) == 0)
            return n.id;
    int v = atoi(a);
    return v > 0 ? v : 0;
}
}  // namespace

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    static const auto real = RealFunction<int (*)(HWND, LPCSTR, LPCSTR, UINT)>("_Z10MessageBoxP6HWND__PKcS2_j");
    LogBox(lpCaption ? lpCaption : "\264\355\316\363" /* 错误, the box's own default */, lpText ? lpText : "");
    if (int a = AutoAnswer())
        return a;
    return real(hWnd, lpText, lpCaption, uType);
}

DWORD CProcessLauncher::Start(const std::vector<std::string>& argv, const std::string& strDir, bool bDetached,
                              pid_t* pPid, int* pPidFd)
{
    static const auto real =
        RealFunction<DWORD (*)(const std::vector<std::string>&, const std::string&, bool, pid_t*, int*)>(
            "_ZN16CProcessLauncher5StartERKSt6vectorINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESaIS6_EERKS6_bPiSD_");
    if (!argv.empty())
        AppendLine("PARVEL_SHELL_LOG", FormatCommandLine(argv) + "\n");
    return real(argv, strDir, bDetached, pPid, pPidFd);
}

DWORD CProcessLauncher::StartPipeline(const std::vector<std::string>& writer, const std::vector<std::string>& reader,
                                      const std::string& strDir)
{
    static const auto real =
        RealFunction<DWORD (*)(const std::vector<std::string>&, const std::vector<std::string>&, const std::string&)>(
            "_ZN16CProcessLauncher13StartPipelineERKSt6vectorINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESaIS6_EESA_RKS6_");
    if (!writer.empty() && !reader.empty())
        AppendLine("PARVEL_SHELL_LOG", FormatCommandLine(writer) + " | " + FormatCommandLine(reader) + "\n");
    return real(writer, reader, strDir);
}
