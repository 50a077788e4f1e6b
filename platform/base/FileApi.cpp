#include "FileApi.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include "CodePage.h"

namespace
{
std::string OnDisk(LPCSTR psz) { return CCodePage::AnsiToUtf8(psz ? psz : ""); }

void SetErrorFromErrno()
{
    switch (errno)
    {
    case ENOENT: SetLastError(ERROR_FILE_NOT_FOUND); break;
    case ENOTDIR: SetLastError(ERROR_PATH_NOT_FOUND); break;
    case EEXIST: SetLastError(ERROR_ALREADY_EXISTS); break;
    case ENOMEM: SetLastError(ERROR_NOT_ENOUGH_MEMORY); break;
    default: SetLastError(ERROR_ACCESS_DENIED); break;
    }
}

// Folder and name of a path on disk ("a/b" -> "a/", "b"; "b" -> "./", "b").
void SplitOnDisk(std::string path, std::string& folder, std::string& name)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
    {
        folder = "./";
        name = path;
    }
    else
    {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
}

// The list's lines, read whole whatever their length or bytes: a line cut in two would name a
// file the list does not name, and a line dropped on the next write would be lost.
std::vector<std::string> ReadHiddenList(const std::string& folder)
{
    std::vector<std::string> names;
    FILE* f = fopen((folder + ".hidden").c_str(), "re");
    if (!f)
        return names;
    char* line = nullptr;
    size_t capacity = 0;
    ssize_t n;
    while ((n = getline(&line, &capacity, f)) >= 0)
    {
        std::string s(line, (size_t)n);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        if (!s.empty())
            names.push_back(s);
    }
    free(line);
    fclose(f);
    return names;
}

bool IsListedHidden(const std::string& folder, const std::string& name)
{
    for (const std::string& s : ReadHiddenList(folder))
        if (s == name)
            return true;
    return false;
}

// Adds or removes a name in the folder's ".hidden", under an flock on the folder so that two
// processes marking files at once do not drop each other's entries.
bool UpdateHiddenList(const std::string& folder, const std::string& name, bool bHidden)
{
    int fdDir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdDir < 0)
        return false;
    while (flock(fdDir, LOCK_EX) != 0 && errno == EINTR)
    {
    }
    std::vector<std::string> names = ReadHiddenList(folder);
    bool bListed = false;
    std::vector<std::string> kept;
    for (const std::string& s : names)
    {
        if (s == name)
            bListed = true;
        else
            kept.push_back(s);
    }
    bool bOk = true;
    if (bListed != bHidden)
    {
        if (bHidden)
            kept.push_back(name);
        const std::string listPath = folder + ".hidden";
        if (kept.empty())
            bOk = unlink(listPath.c_str()) == 0 || errno == ENOENT;
        else
        {
            const std::string tmpPath = listPath + ".new";
            FILE* f = fopen(tmpPath.c_str(), "we");
            if (!f)
                bOk = false;
            else
            {
                for (const std::string& s : kept)
                {
                    if (fwrite(s.data(), 1, s.size(), f) != s.size() || fputc('\n', f) == EOF)
                        bOk = false;
                }
                bOk = fclose(f) == 0 && bOk && rename(tmpPath.c_str(), listPath.c_str()) == 0;
                if (!bOk)
                    unlink(tmpPath.c_str());
            }
        }
    }
    close(fdDir);
    return bOk;
}

DWORD AttributesOf(const std::string& path, const struct stat& st)
{
    DWORD dw = 0;
    if (S_ISDIR(st.st_mode))
        dw |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(st.st_mode & S_IWUSR))
        dw |= FILE_ATTRIBUTE_READONLY;
    std::string folder, name;
    SplitOnDisk(path, folder, name);
    if (name != "." && name != ".." && IsListedHidden(folder, name))
        dw |= FILE_ATTRIBUTE_HIDDEN;
    return dw ? dw : FILE_ATTRIBUTE_NORMAL;
}

void ToFileTime(const struct timespec& ts, FILETIME& ft)
{
    // 100-ns intervals since 1601-01-01.
    uint64_t t = ((uint64_t)ts.tv_sec + 11644473600ull) * 10000000ull + (uint64_t)ts.tv_nsec / 100u;
    ft.dwLowDateTime = (DWORD)t;
    ft.dwHighDateTime = (DWORD)(t >> 32);
}

void FillFindData(const std::string& path, const std::string& name, const struct stat& st, WIN32_FIND_DATA& fd)
{
    memset(&fd, 0, sizeof(fd));
    fd.dwFileAttributes = AttributesOf(path, st);
    ToFileTime(st.st_ctim, fd.ftCreationTime);
    ToFileTime(st.st_atim, fd.ftLastAccessTime);
    ToFileTime(st.st_mtim, fd.ftLastWriteTime);
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : (uint64_t)st.st_size;
    fd.nFileSizeHigh = (DWORD)(size >> 32);
    fd.nFileSizeLow = (DWORD)size;
    std::string ansi = CCodePage::Utf8ToAnsi(name);
    strncpy(fd.cFileName, ansi.c_str(), MAX_PATH - 1);
}

// The entries a search found, handed out one by one.
class CFindObject : public CKernelObject
{
public:
    struct ENTRY
    {
        std::string m_path;
        std::string m_name;
        struct stat m_st;
    };
    std::vector<ENTRY> m_entries;
    size_t m_next = 0;

protected:
    bool TryWaitLocked() override { return false; }
};
} // namespace

DWORD GetFileAttributes(LPCSTR lpFileName)
{
    const std::string path = OnDisk(lpFileName);
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0)
    {
        SetErrorFromErrno();
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(path, st);
}

BOOL SetFileAttributes(LPCSTR lpFileName, DWORD dwFileAttributes)
{
    const std::string path = OnDisk(lpFileName);
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0)
    {
        SetErrorFromErrno();
        return FALSE;
    }
    const bool bReadOnly = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (bReadOnly != !(st.st_mode & S_IWUSR))
    {
        mode_t mode = st.st_mode & 07777;
        mode = bReadOnly ? (mode & ~(mode_t)(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
        if (chmod(path.c_str(), mode) != 0)
        {
            SetErrorFromErrno();
            return FALSE;
        }
    }
    std::string folder, name;
    SplitOnDisk(path, folder, name);
    if (!UpdateHiddenList(folder, name, (dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0))
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectory(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    std::string path = OnDisk(lpPathName);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || mkdir(path.c_str(), 0755) != 0)
    {
        if (errno == ENOENT)
            SetLastError(ERROR_PATH_NOT_FOUND);
        else
            SetErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFile(LPCSTR lpFileName)
{
    const std::string path = OnDisk(lpFileName);
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0)
    {
        SetErrorFromErrno();
        return FALSE;
    }
    if (S_ISDIR(st.st_mode))
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(path.c_str()) != 0)
    {
        SetErrorFromErrno();
        return FALSE;
    }
    // The attribute goes with the file: a later file of that name starts visible.
    std::string folder, name;
    SplitOnDisk(path, folder, name);
    UpdateHiddenList(folder, name, false);
    return TRUE;
}

BOOL PathFileExists(LPCSTR pszPath)
{
    const std::string path = OnDisk(pszPath);
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

HANDLE FindFirstFile(LPCSTR lpFileName, LPWIN32_FIND_DATA lpFindFileData)
{
    const std::string pattern = OnDisk(lpFileName);
    if (pattern.empty() || !lpFindFileData)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    CFindObject* pFind = new CFindObject;
    std::string folder, name;
    SplitOnDisk(pattern, folder, name);
    const bool bWild = name.find_first_of("*?") != std::string::npos;
    if (!bWild)
    {
        // One name, or a folder given with a trailing "/": the entry itself.
        std::string path = pattern;
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && (pattern.back() != '/' || S_ISDIR(st.st_mode)))
            pFind->m_entries.push_back({path, name, st});
    }
    else
    {
        std::string glob = name == "*.*" ? "*" : name;
        if (glob.size() > 2 && glob.compare(glob.size() - 2, 2, ".*") == 0)
            glob.resize(glob.size() - 2); // "a.*" also finds "a", as on Windows
        if (DIR* dir = opendir(folder.c_str()))
        {
            while (struct dirent* de = readdir(dir))
            {
                std::string entry = de->d_name;
                if (fnmatch(glob.c_str(), entry.c_str(), FNM_CASEFOLD) != 0 &&
                    fnmatch(name.c_str(), entry.c_str(), FNM_CASEFOLD) != 0)
                    continue;
                std::string path = (folder == "./" && pattern.compare(0, 2, "./") != 0) ? entry : folder + entry;
                struct stat st;
                if (stat(path.c_str(), &st) == 0)
                    pFind->m_entries.push_back({path, entry, st});
            }
            closedir(dir);
        }
    }
    if (pFind->m_entries.empty())
    {
        pFind->Release();
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const CFindObject::ENTRY& first = pFind->m_entries[pFind->m_next++];
    FillFindData(first.m_path, first.m_name, first.m_st, *lpFindFileData);
    HANDLE h = pFind->OpenHandle();
    pFind->Release();
    return h;
}

BOOL FindNextFile(HANDLE hFindFile, LPWIN32_FIND_DATA lpFindFileData)
{
    CKernelObject* pObject = CKernelObject::FromHandle(hFindFile);
    CFindObject* pFind = dynamic_cast<CFindObject*>(pObject);
    BOOL bFound = FALSE;
    if (!pFind || !lpFindFileData)
        SetLastError(ERROR_INVALID_HANDLE);
    else if (pFind->m_next >= pFind->m_entries.size())
        SetLastError(ERROR_NO_MORE_FILES);
    else
    {
        const CFindObject::ENTRY& entry = pFind->m_entries[pFind->m_next++];
        FillFindData(entry.m_path, entry.m_name, entry.m_st, *lpFindFileData);
        bFound = TRUE;
    }
    if (pObject)
        pObject->Release();
    return bFound;
}

BOOL FindClose(HANDLE hFindFile)
{
    CKernelObject* pObject = CKernelObject::FromHandle(hFindFile);
    bool bFind = dynamic_cast<CFindObject*>(pObject) != nullptr;
    if (pObject)
        pObject->Release();
    if (!bFind)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CKernelObject::CloseHandle(hFindFile);
}

BOOL CreatePrivateDirectory(LPCSTR lpPathName)
{
    std::string path = OnDisk(lpPathName);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty() || (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST))
    {
        SetErrorFromErrno();
        return FALSE;
    }
    // Looked at through one descriptor, so the folder judged is the folder changed.
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st = {};
    bool bPrivate = fd >= 0 && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
                    ((st.st_mode & 077) == 0 || fchmod(fd, st.st_mode & 0700) == 0);
    if (fd >= 0)
        close(fd);
    if (!bPrivate)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    // Windows gives each user a temporary folder; /tmp is everyone's.
    const char* pszRuntime = getenv("XDG_RUNTIME_DIR");
    std::string path;
    if (pszRuntime && *pszRuntime == '/')
        path = pszRuntime;
    else
    {
        const char* pszTmp = getenv("TMPDIR");
        path = (pszTmp && *pszTmp) ? pszTmp : "/tmp";
        if (path.back() != '/')
            path += '/';
        path += "parvel-" + std::to_string(geteuid());
    }
    if (path.back() != '/')
        path += '/';
    path = CCodePage::Utf8ToAnsi(path);
    if (!lpBuffer || nBufferLength < path.size() + 1)
        return (DWORD)path.size() + 1;
    memcpy(lpBuffer, path.c_str(), path.size() + 1);
    return (DWORD)path.size();
}

int _splitpath_s(const char* path, char* drive, size_t driveNumberOfElements, char* dir, size_t dirNumberOfElements,
                 char* fname, size_t nameNumberOfElements, char* ext, size_t extNumberOfElements)
{
    struct PART
    {
        char* m_buffer;
        size_t m_size;
        std::string m_text;
    } parts[4] = {{drive, driveNumberOfElements, ""}, {dir, dirNumberOfElements, ""},
                  {fname, nameNumberOfElements, ""}, {ext, extNumberOfElements, ""}};
    if (!path)
        return EINVAL;
    std::string s(path);
    size_t slash = s.rfind('/');
    std::string base = slash == std::string::npos ? s : s.substr(slash + 1);
    if (slash != std::string::npos)
        parts[1].m_text = s.substr(0, slash + 1);
    size_t dot = base.rfind('.');
    if (dot == std::string::npos)
        parts[2].m_text = base;
    else
    {
        parts[2].m_text = base.substr(0, dot);
        parts[3].m_text = base.substr(dot);
    }
    int result = 0;
    for (const PART& part : parts)
    {
        if (part.m_buffer && part.m_text.size() + 1 > part.m_size)
            result = part.m_size == 0 ? EINVAL : ERANGE;
    }
    for (const PART& part : parts)
    {
        if (!part.m_buffer || part.m_size == 0)
            continue;
        if (result != 0)
            part.m_buffer[0] = '\0';
        else
            memcpy(part.m_buffer, part.m_text.c_str(), part.m_text.size() + 1);
    }
    return result;
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext)
{
    _splitpath_s(path, drive, _MAX_DRIVE, dir, _MAX_DIR, fname, _MAX_FNAME, ext, _MAX_EXT);
}
