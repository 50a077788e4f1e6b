// Shared by the shell tests: a scratch folder, stand-in programs and bounded waits.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include "PollWait.h"
#include "TestFiles.h"

class CShellScratch
{
public:
    CShellScratch()
    {
        m_strDir = MakeTempFolder("parvel-shell");
        mkdir((m_strDir + "/bin").c_str(), 0755);
        char cwd[4096];
        m_strOldCwd = getcwd(cwd, sizeof(cwd)) ? cwd : "/";
        if (chdir(m_strDir.c_str()) != 0)
            ADD_FAILURE() << "cannot enter " << m_strDir;
        Remember("PATH");
        Remember("PARVEL_SHELL_LOG");
        setenv("PARVEL_SHELL_LOG", Path("launch.log").c_str(), 1);
    }
    ~CShellScratch()
    {
        if (chdir(m_strOldCwd.c_str()) != 0)
            ADD_FAILURE() << "cannot go back to " << m_strOldCwd;
        for (auto& [name, value] : m_env)
            value.first ? setenv(name.c_str(), value.second.c_str(), 1) : unsetenv(name.c_str());
        std::string cmd = "rm -rf '" + m_strDir + "'";
        if (system(cmd.c_str()) != 0)
            ADD_FAILURE() << "cannot remove " << m_strDir;
    }

    std::string Path(const std::string& name) const { return m_strDir + "/" + name; }
    std::string Bin() const { return Path("bin"); }

    // Only the scratch bin folder (and the basic tools a script needs) is on PATH.
    void UseOwnBin(bool withSystem = true)
    {
        std::string path = Bin();
        if (withSystem)
            path += ":/usr/bin:/bin";
        setenv("PATH", path.c_str(), 1);
    }

    // A stand-in program that appends its arguments, one line per start, to <name>.out.
    std::string Stub(const std::string& name, const std::string& extra = "")
    {
        std::string path = Bin() + "/" + name;
        WriteFile(path, "#!/bin/sh\n" + extra + "echo \"$@\" >> '" + Path(name + ".out") + "'\n", 0755);
        return path;
    }

    // Waits until the file holds something (a started program wrote it), at most 10 s.
    static std::string WaitForText(const std::string& path)
    {
        std::string text;
        PollUntil([&] {
            text = ReadFile(path);
            return !text.empty() && text.back() == '\n';
        }, 10000);
        return text;
    }

    std::string LogText() const { return ReadFile(Path("launch.log")); }

private:
    void Remember(const char* name)
    {
        const char* v = getenv(name);
        m_env[name] = { v != nullptr, v ? v : "" };
    }

    std::string m_strDir;
    std::string m_strOldCwd;
    std::map<std::string, std::pair<bool, std::string>> m_env;
};

// Children of this process that have ended but were never reaped.
// Zombies among this process's children. The launcher's reaper runs on its own thread, so a
// child that has just ended is given up to two seconds to be reaped before it counts.
inline int CountZombieChildrenNow()
{
    int count = 0;
    DIR* dir = opendir("/proc");
    if (!dir)
        return -1;
    while (struct dirent* d = readdir(dir))
    {
        std::string stat = ReadFile(std::string("/proc/") + d->d_name + "/stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(close + 1));
        std::string state;
        long ppid = 0;
        rest >> state >> ppid;
        if (ppid == (long)getpid() && state == "Z")
            ++count;
    }
    closedir(dir);
    return count;
}

inline int CountZombieChildren()
{
    int count = 0;
    PollUntil([&] { return (count = CountZombieChildrenNow()) == 0; }, 2000);
    return count;
}
