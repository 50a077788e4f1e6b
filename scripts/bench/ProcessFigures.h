// What the benchmarks read of a process from /proc: resident memory, of one process or of a
// process and its descendants, threads and open descriptors.
#pragma once

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <utility>
#include <vector>

// A "Name:  value" line of /proc/<pid>/status as a number (0 when missing).
inline long ProcStatusValue(pid_t pid, const char* pszName)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    const std::string key = std::string(pszName) + ":";
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return atol(line.c_str() + key.size());
    return 0;
}

inline long RssKb(pid_t pid)
{
    return ProcStatusValue(pid, "VmRSS");
}

// Open descriptors of the process, not counting the one that lists them.
inline int OpenFdCount(pid_t pid)
{
    int n = 0;
    if (DIR* d = opendir(("/proc/" + std::to_string(pid) + "/fd").c_str()))
    {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
        if (pid == getpid())
            --n;
    }
    return n;
}

// The process and every descendant whose name begins with the prefix (all when it is empty).
// With bRoot false the process itself is left out.
inline long TreeRssKb(pid_t root, const std::string& prefix, bool bRoot = true)
{
    std::vector<std::pair<pid_t, pid_t>> procs;  // pid, parent
    std::vector<std::pair<pid_t, std::string>> names;
    if (DIR* d = opendir("/proc"))
    {
        while (dirent* e = readdir(d))
        {
            pid_t pid = atoi(e->d_name);
            if (pid <= 0)
                continue;
            std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
            std::string stat;
            std::getline(in, stat);
            size_t open = stat.find('('), close = stat.rfind(')');
            if (open == std::string::npos || close == std::string::npos)
                continue;
            std::istringstream rest(stat.substr(close + 2));
            char state;
            pid_t parent = 0;
            rest >> state >> parent;
            procs.push_back({pid, parent});
            names.push_back({pid, stat.substr(open + 1, close - open - 1)});
        }
        closedir(d);
    }
    long total = bRoot ? RssKb(root) : 0;
    std::vector<pid_t> frontier = {root};
    while (!frontier.empty())
    {
        pid_t p = frontier.back();
        frontier.pop_back();
        for (size_t i = 0; i < procs.size(); ++i)
            if (procs[i].second == p)
            {
                frontier.push_back(procs[i].first);
                if (prefix.empty() || names[i].second.rfind(prefix, 0) == 0)
                    total += RssKb(procs[i].first);
            }
    }
    return total;
}
