#include "ProgramTable.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "CodePage.h"

namespace
{
// Windows programs the system starts by name, and what stands for them here, in order of
// preference. Names compare in lower case, as Windows file names do.
struct ProgramEntry
{
    const char* pszWindowsName;
    const char* apszCandidates[5];
};

const ProgramEntry g_programs[] = {
    { "iexplore.exe", { "xdg-open", "x-www-browser", nullptr } },
    { "chrome.exe", { "google-chrome", "google-chrome-stable", "chromium", "chromium-browser", nullptr } },
    { "firefox.exe", { "firefox", "firefox-esr", nullptr } },
    { "gswin32c.exe", { "gs", nullptr } },
};

// Windows commands that only stand for a settings page, and the programs that open that page on
// the desktops that have one, each with its own arguments in place of the Windows ones.
struct CommandEntry
{
    const char* pszWindowsName;
    const char* pszWindowsArgument;
    const char* apszCandidates[3][3];
};

const CommandEntry g_commands[] = {
    // The Internet options of the Control Panel: the desktop's network settings, which hold the
    // proxy that the browser follows.
    { "control.exe", "inetcpl.cpl",
      { { "gnome-control-center", "network", nullptr }, { "systemsettings", "kcm_proxy", nullptr }, { nullptr } } },
};

bool IsLeadByte(unsigned char ch) { return ch >= 0x81 && ch != 0xFF; }

// Backslashes become slashes; a GBK trail byte equal to '\' is left alone.
std::string ToSlashes(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i)
    {
        unsigned char ch = (unsigned char)s[i];
        if (IsLeadByte(ch) && i + 1 < s.size())
        {
            out += s[i];
            out += s[++i];
        }
        else
            out += ch == '\\' ? '/' : s[i];
    }
    return out;
}

std::string FileName(const std::string& slashed)
{
    size_t pos = slashed.rfind('/');
    return pos == std::string::npos ? slashed : slashed.substr(pos + 1);
}

std::string Lower(std::string s)
{
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = (char)(ch - 'A' + 'a');
    return s;
}

const ProgramEntry* FindEntry(const std::string& name)
{
    std::string key = Lower(name);
    for (int pass = 0; pass < 2; ++pass)
    {
        for (const ProgramEntry& entry : g_programs)
            if (key == entry.pszWindowsName)
                return &entry;
        // As the shell does: a name without extension also means the ".exe" of that name.
        if (key.empty() || key.find('.') != std::string::npos)
            break;
        key += ".exe";
    }
    return nullptr;
}

// The settings program standing for a whole Windows command, with its arguments; empty when the
// command is none of those or the desktop has no such program.
std::vector<std::string> FindCommandCounterpart(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return {};
    std::string name = Lower(FileName(ToSlashes(args[0])));
    if (name.find('.') == std::string::npos)
        name += ".exe";
    for (const CommandEntry& entry : g_commands)
    {
        if (name != entry.pszWindowsName || Lower(args[1]) != entry.pszWindowsArgument)
            continue;
        for (const auto& candidate : entry.apszCandidates)
        {
            if (!candidate[0])
                break;
            std::string path = CProgramTable::FindOnPath(candidate[0]);
            if (path.empty())
                continue;
            std::vector<std::string> argv{ path };
            for (const char* const* p = candidate + 1; *p; ++p)
                argv.push_back(*p);
            return argv;
        }
    }
    return {};
}

std::string FindCounterpart(const ProgramEntry& entry)
{
    for (const char* const* p = entry.apszCandidates; *p; ++p)
    {
        std::string path = CProgramTable::FindOnPath(*p);
        if (!path.empty())
            return path;
    }
    return std::string();
}

// How an existing file runs: an executable directly, a script through its interpreter, a
// program file that came without execute permission (a download) after granting it.
DWORD RunnableForm(const std::string& path, std::vector<std::string>& argv)
{
    char head[256] = {};
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ERROR_ACCESS_DENIED;
    ssize_t n = read(fd, head, sizeof(head) - 1);
    close(fd);
    if (n < 0)
        return ERROR_ACCESS_DENIED;

    bool elf = n >= 4 && memcmp(head, "\x7f" "ELF", 4) == 0;
    bool script = n >= 2 && head[0] == '#' && head[1] == '!';
    if (access(path.c_str(), X_OK) == 0 && (elf || script))
    {
        argv.push_back(path);
        return ERROR_SUCCESS;
    }
    if (script)
    {
        std::string line(head + 2, (size_t)n - 2);
        line = line.substr(0, line.find('\n'));
        size_t b = line.find_first_not_of(" \t");
        if (b == std::string::npos)
            return ERROR_BAD_FORMAT;
        size_t e = line.find_first_of(" \t", b);
        std::string interpreter = line.substr(b, e == std::string::npos ? std::string::npos : e - b);
        if (access(interpreter.c_str(), X_OK) != 0)
            return ERROR_FILE_NOT_FOUND;
        argv.push_back(interpreter);
        if (e != std::string::npos)
        {
            size_t ab = line.find_first_not_of(" \t", e);
            size_t ae = line.find_last_not_of(" \t\r");
            if (ab != std::string::npos && ae >= ab)
                argv.push_back(line.substr(ab, ae - ab + 1));
        }
        argv.push_back(path);
        return ERROR_SUCCESS;
    }
    if (elf)
    {
        struct stat st;
        if (stat(path.c_str(), &st) != 0)
            return ERROR_ACCESS_DENIED;
        mode_t exec = (st.st_mode & S_IRUSR ? S_IXUSR : 0) | (st.st_mode & S_IRGRP ? S_IXGRP : 0) |
                      (st.st_mode & S_IROTH ? S_IXOTH : 0);
        if (chmod(path.c_str(), st.st_mode | exec | S_IXUSR) != 0)
            return ERROR_ACCESS_DENIED;
        argv.push_back(path);
        return ERROR_SUCCESS;
    }
    return ERROR_BAD_FORMAT;
}

bool IsCmd(const std::string& program)
{
    std::string name = Lower(FileName(ToSlashes(program)));
    return name == "cmd" || name == "cmd.exe";
}

bool FileExists(const std::string& utf8Path)
{
    struct stat st;
    return stat(utf8Path.c_str(), &st) == 0;
}
}

std::vector<std::string> CProgramTable::SplitCommandLine(const char* pszCommandLine)
{
    std::vector<std::string> args;
    if (!pszCommandLine)
        return args;
    const char* p = pszCommandLine;
    auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
    while (*p && blank(*p))
        ++p;
    while (*p)
    {
        std::string arg;
        bool quoted = false;
        while (*p && (quoted || !blank(*p)))
        {
            if (*p == '\\')
            {
                size_t n = 0;
                while (p[n] == '\\')
                    ++n;
                if (p[n] == '"')
                {
                    arg.append(n / 2, '\\');
                    p += n;
                    if (n % 2)
                    {
                        arg += '"';
                        ++p;
                    }
                }
                else
                {
                    arg.append(n, '\\');
                    p += n;
                }
            }
            else if (*p == '"')
            {
                if (quoted && p[1] == '"')
                {
                    arg += '"';
                    p += 2;
                }
                else
                {
                    quoted = !quoted;
                    ++p;
                }
            }
            else if (IsLeadByte((unsigned char)*p) && p[1])
            {
                arg.append(p, 2);
                p += 2;
            }
            else
                arg += *p++;
        }
        args.push_back(arg);
        while (*p && blank(*p))
            ++p;
    }
    return args;
}

DWORD CProgramTable::ResolveCommand(const std::vector<std::string>& args, const std::string& strDir,
                                    std::vector<std::string>& argv)
{
    argv.clear();
    std::vector<std::string> a = args;
    std::string dir = ToFileName(strDir);
    // The program starts inside that folder: its path must not depend on where we are.
    if (!dir.empty() && dir[0] != '/')
    {
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd)))
            dir = std::string(cwd) + "/" + dir;
    }
    auto located = [&dir](const std::string& ansi) {
        std::string path = ToFileName(ansi);
        if (!dir.empty() && !path.empty() && path[0] != '/')
            path = dir + "/" + path;
        return path;
    };

    // "cmd /c X": the console only carried X, so X runs directly.
    if (!a.empty() && IsCmd(a[0]) && !FileExists(located(a[0])))
    {
        if (a.size() < 2 || Lower(a[1]) != "/c")
            return ERROR_FILE_NOT_FOUND;
        a.erase(a.begin(), a.begin() + 2);
        if (a.size() == 1 && a[0].find(' ') != std::string::npos && !FileExists(located(a[0])))
            a = SplitCommandLine(a[0].c_str());
    }
    if (a.empty() || a[0].empty())
        return ERROR_FILE_NOT_FOUND;

    std::string path = located(a[0]);
    struct stat st;
    DWORD err = ERROR_SUCCESS;
    if (stat(path.c_str(), &st) == 0)
    {
        if (!S_ISREG(st.st_mode))
            return ERROR_ACCESS_DENIED;
        err = RunnableForm(path, argv);
    }
    else if (std::vector<std::string> command = FindCommandCounterpart(a); !command.empty())
    {
        argv = command;
        return ERROR_SUCCESS;
    }
    else
    {
        const ProgramEntry* entry = FindEntry(FileName(ToSlashes(a[0])));
        std::string counterpart = entry ? FindCounterpart(*entry) : std::string();
        if (counterpart.empty())
        {
            size_t slash = path.rfind('/');
            if (!entry && slash != std::string::npos && slash > 0 && !FileExists(path.substr(0, slash)))
                return ERROR_PATH_NOT_FOUND;
            return ERROR_FILE_NOT_FOUND;
        }
        argv.push_back(counterpart);
    }
    if (err != ERROR_SUCCESS)
    {
        argv.clear();
        return err;
    }
    for (size_t i = 1; i < a.size(); ++i)
        argv.push_back(CCodePage::AnsiToUtf8(a[i]));
    return ERROR_SUCCESS;
}

BOOL CProgramTable::ReadAppPathsKey(const char* pszKeyPath, std::string& strPath)
{
    strPath.clear();
    static const char s_szAppPaths[] = "software\\microsoft\\windows\\currentversion\\app paths\\";
    std::string key = Lower(pszKeyPath ? pszKeyPath : "");
    while (!key.empty() && key[0] == '\\')
        key.erase(0, 1);
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    const size_t prefix = sizeof(s_szAppPaths) - 1;
    if (key.size() <= prefix || key.compare(0, prefix, s_szAppPaths) != 0 || key.find('\\', prefix) != std::string::npos)
        return FALSE;
    FindAppPath(key.substr(prefix).c_str(), strPath);
    return TRUE;
}

std::string CProgramTable::ToFileName(const std::string& strAnsiPath)
{
    return CCodePage::AnsiToUtf8(ToSlashes(strAnsiPath));
}

BOOL CProgramTable::FindAppPath(const char* pszExeName, std::string& strPath)
{
    strPath.clear();
    if (!pszExeName)
        return FALSE;
    const ProgramEntry* entry = FindEntry(pszExeName);
    std::string path = entry ? FindCounterpart(*entry) : std::string();
    if (path.empty())
        return FALSE;
    strPath = CCodePage::Utf8ToAnsi(path);
    return TRUE;
}

std::string CProgramTable::FindOnPath(const std::string& strName)
{
    if (strName.empty() || strName.find('/') != std::string::npos)
        return std::string();
    const char* env = getenv("PATH");
    std::string list = env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size())
    {
        size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        std::string folder = list.substr(start, end - start);
        if (!folder.empty())
        {
            std::string candidate = folder + "/" + strName;
            struct stat st;
            if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return std::string();
}
