#include "AutostartEntry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "CodePage.h"
#include "RegistryHive.h"

namespace
{
const char s_valueKey[] = "X-Parvel-Value=";

std::string HomeFolder()
{
    const char* pszHome = getenv("HOME");
    return (pszHome && *pszHome) ? pszHome : "/root";
}

// A desktop-entry string value: backslash and line breaks escaped.
std::string DesktopString(const std::string& s)
{
    std::string out;
    for (char c : s)
    {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string UndoDesktopString(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] == '\\' && i + 1 < s.size())
        {
            char c = s[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 's' ? ' ' : c == 't' ? '\t' : c;
        }
        else
            out += s[i];
    }
    return out;
}

// One argument of an Exec line, quoted as the desktop-entry rules ask.
std::string ExecArgument(const std::string& arg)
{
    std::string quoted = "\"";
    for (char c : arg)
    {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

std::string RunningProgram()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    return n > 0 ? std::string(buf, (size_t)n) : std::string();
}

// How the running program is started: installed, through its launcher (which names itself in
// PARVEL_LAUNCHER), so that a start at log-in finds its data folder as a start from the menu does;
// otherwise the program itself.
std::string StartCommandOfRunningProgram()
{
    const char* pszLauncher = getenv("PARVEL_LAUNCHER");
    if (pszLauncher && *pszLauncher == '/' && access(pszLauncher, X_OK) == 0)
        return pszLauncher;
    return RunningProgram();
}

std::string WorkingFolder()
{
    char buf[4096];
    return getcwd(buf, sizeof(buf)) ? std::string(buf) : std::string("/");
}
} // namespace

std::string CAutostartEntry::Folder(bool bSystem)
{
    const char* pszDir = getenv(bSystem ? "PARVEL_AUTOSTART_SYSTEM" : "PARVEL_AUTOSTART_USER");
    if (pszDir && *pszDir)
        return pszDir;
    if (bSystem)
        return "/etc/xdg/autostart";
    const char* pszConfig = getenv("XDG_CONFIG_HOME");
    if (pszConfig && *pszConfig == '/')
        return std::string(pszConfig) + "/autostart";
    return HomeFolder() + "/.config/autostart";
}

std::string CAutostartEntry::EntryPath(const std::string& folder, const std::string& valueName)
{
    // Value names compare without case: the file is named after the folded name.
    static const char hex[] = "0123456789ABCDEF";
    std::string stem;
    for (unsigned char c : CRegistryHive::Fold(valueName))
    {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.')
            stem += (char)c;
        else
        {
            stem += '%';
            stem += hex[c >> 4];
            stem += hex[c & 15];
        }
    }
    return folder + "/parvel-run-" + stem + ".desktop";
}

BOOL CAutostartEntry::Query(const std::string& folder, const std::string& valueName, std::string& text)
{
    FILE* f = fopen(EntryPath(folder, valueName).c_str(), "re");
    if (!f)
        return FALSE;
    std::string exec;
    bool bFound = false;
    // Whole lines, however long: a line read in pieces would let the rest of a long value
    // pass for a line of its own.
    char* line = nullptr;
    size_t cap = 0;
    ssize_t n;
    while ((n = getline(&line, &cap, f)) >= 0)
    {
        std::string s(line, (size_t)n);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        if (s.compare(0, sizeof(s_valueKey) - 1, s_valueKey) == 0)
        {
            text = CCodePage::Utf8ToAnsi(UndoDesktopString(s.substr(sizeof(s_valueKey) - 1)));
            bFound = true;
        }
        else if (s.compare(0, 5, "Exec=") == 0)
            exec = s.substr(5);
    }
    free(line);
    fclose(f);
    if (!bFound)
        text = CCodePage::Utf8ToAnsi(UndoDesktopString(exec));
    return TRUE;
}

LONG CAutostartEntry::Write(const std::string& folder, const std::string& valueName, const std::string& text)
{
    const std::string cwd = WorkingFolder();
    std::string program = CCodePage::AnsiToUtf8(text);
    for (char& c : program)
        if (c == '\\')
            c = '/';
    if (!program.empty() && program[0] != '/')
    {
        if (program.compare(0, 2, "./") == 0)
            program = program.substr(2);
        const std::string resolved = cwd + (cwd == "/" ? "" : "/") + program;
        // The working folder is the data folder, not always the program's own: a name of the
        // running program that is not there stands for the running program.
        const std::string self = RunningProgram();
        const size_t slash = self.rfind('/');
        if (access(resolved.c_str(), X_OK) != 0 && slash != std::string::npos && self.substr(slash + 1) == program)
            program = StartCommandOfRunningProgram();
        else
            program = resolved;
    }

    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=" + DesktopString(CCodePage::AnsiToUtf8(valueName)) + "\n"
                        "Exec=" + DesktopString(ExecArgument(program)) + "\n"
                        "Path=" + DesktopString(cwd) + "\n"
                        "Terminal=false\n"
                        "X-GNOME-Autostart-enabled=true\n" +
                        s_valueKey + DesktopString(CCodePage::AnsiToUtf8(text)) + "\n";

    for (size_t pos = folder.find('/', 1); pos != std::string::npos; pos = folder.find('/', pos + 1))
        mkdir(folder.substr(0, pos).c_str(), 0755);
    mkdir(folder.c_str(), 0755);

    const std::string path = EntryPath(folder, valueName);
    const std::string tmpPath = path + ".new";
    int fd = open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ERROR_ACCESS_DENIED;
    fchmod(fd, 0644);
    bool bOk = write(fd, entry.data(), entry.size()) == (ssize_t)entry.size();
    if (close(fd) != 0)
        bOk = false;
    if (!bOk || rename(tmpPath.c_str(), path.c_str()) != 0)
    {
        unlink(tmpPath.c_str());
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

LONG CAutostartEntry::Delete(const std::string& folder, const std::string& valueName)
{
    if (unlink(EntryPath(folder, valueName).c_str()) == 0)
        return ERROR_SUCCESS;
    return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
}
