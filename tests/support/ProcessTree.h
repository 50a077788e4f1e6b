// The processes below a process (its children, theirs, and so on), read from /proc: for tests that
// check which helper processes a program started, and that they end.
#pragma once

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace process_tree
{
struct CEntry
{
    pid_t pid = 0;
    pid_t parent = 0;
    char state = '?';
    std::string name;  // the kernel's short name (at most 15 characters)
};

// pid's line of /proc; false when the process is gone.
inline bool Read(pid_t pid, CEntry& entry)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat))
        return false;
    size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 2 > stat.size())
        return false;
    entry.pid = pid;
    entry.name = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 2));
    rest >> entry.state >> entry.parent;
    return true;
}
}  // namespace process_tree

// True while the process exists and has not ended (a zombie has ended).
inline bool IsProcessAlive(pid_t pid)
{
    process_tree::CEntry entry;
    return process_tree::Read(pid, entry) && entry.state != 'Z' && entry.state != 'X';
}

// The live descendants of root whose name begins with prefix (every one for an empty prefix).
inline std::vector<pid_t> DescendantProcesses(pid_t root, const std::string& prefix = "")
{
    std::vector<process_tree::CEntry> all;
    if (DIR* d = opendir("/proc"))
    {
        while (dirent* e = readdir(d))
        {
            process_tree::CEntry entry;
            pid_t pid = atoi(e->d_name);
            if (pid > 0 && process_tree::Read(pid, entry) && entry.state != 'Z' && entry.state != 'X')
                all.push_back(entry);
        }
        closedir(d);
    }
    std::vector<pid_t> found, frontier = {root};
    while (!frontier.empty())
    {
        pid_t p = frontier.back();
        frontier.pop_back();
        for (const process_tree::CEntry& entry : all)
            if (entry.parent == p)
            {
                frontier.push_back(entry.pid);
                if (entry.name.rfind(prefix, 0) == 0)
                    found.push_back(entry.pid);
            }
    }
    return found;
}
