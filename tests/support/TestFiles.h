// Files the tests prepare, read back and look into, and their scratch folders.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// What a shell command writes to its standard output.
inline std::string RunText(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r"))
    {
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// The whole file, byte for byte; "" when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline void WriteFile(const std::string& path, const std::string& text, mode_t mode)
{
    WriteFile(path, text);
    chmod(path.c_str(), mode);
}

inline bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

inline bool IsFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Names in a folder, "." and ".." left out.
inline std::set<std::string> FolderEntries(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* pDir = opendir(folder.c_str()))
    {
        while (dirent* pEntry = readdir(pDir))
            if (std::string(pEntry->d_name) != "." && std::string(pEntry->d_name) != "..")
                names.insert(pEntry->d_name);
        closedir(pDir);
    }
    return names;
}

// A fresh folder "/tmp/<prefix>-XXXXXX"; "" when it cannot be made.
inline std::string MakeTempFolder(const std::string& prefix)
{
    std::string tmpl = "/tmp/" + prefix + "-XXXXXX";
    return mkdtemp(tmpl.data()) ? tmpl : std::string();
}

inline void RemoveFolder(const std::string& folder)
{
    std::string cmd = "rm -rf '" + folder + "'";
    (void)!system(cmd.c_str());
}
