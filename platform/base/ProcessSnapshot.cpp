#include "ProcessSnapshot.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>
#include "CodePage.h"

namespace
{
class CSnapshotObject : public CKernelObject
{
public:
    std::vector<PROCESSENTRY32> m_entries;

    bool Next(bool bFirst, PROCESSENTRY32& entry)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (bFirst)
            m_nNext = 0;
        if (m_nNext >= m_entries.size())
            return false;
        entry = m_entries[m_nNext++];
        return true;
    }

protected:
    bool TryWaitLocked() override { return false; }

private:
    size_t m_nNext = 0;
};

bool ReadEntry(pid_t pid, PROCESSENTRY32& entry)
{
    std::string base = "/proc/" + std::to_string(pid);
    std::ifstream statFile(base + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // "pid (comm) state ppid ... num_threads": comm may hold blanks and parentheses.
    size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return false;
    std::string comm = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 1));
    std::vector<std::string> fields;
    std::string field;
    while (rest >> field && fields.size() < 18)
        fields.push_back(field);
    if (fields.size() < 18)
        return false;

    // The program's file name as Windows gives it: that of the executable, else the name
    // the kernel keeps (kernel threads, processes of others we may not inspect).
    std::string name = comm;
    char target[4096];
    ssize_t n = readlink((base + "/exe").c_str(), target, sizeof(target) - 1);
    if (n > 0)
    {
        target[n] = 0;
        std::string path = target;
        const char deleted[] = " (deleted)";
        if (path.size() > sizeof(deleted) - 1 && path.compare(path.size() - (sizeof(deleted) - 1), std::string::npos, deleted) == 0)
            path.resize(path.size() - (sizeof(deleted) - 1));
        size_t slash = path.rfind('/');
        name = slash == std::string::npos ? path : path.substr(slash + 1);
    }
    name = CCodePage::Utf8ToAnsi(name);

    memset(&entry, 0, sizeof(entry));
    entry.dwSize = sizeof(entry);
    entry.th32ProcessID = (DWORD)pid;
    entry.th32ParentProcessID = (DWORD)strtoul(fields[1].c_str(), nullptr, 10);
    entry.cntThreads = (DWORD)strtoul(fields[17].c_str(), nullptr, 10);
    entry.pcPriClassBase = (LONG)strtol(fields[16].c_str(), nullptr, 10);
    strncpy(entry.szExeFile, name.c_str(), MAX_PATH - 1);
    return true;
}

BOOL NextEntry(HANDLE hSnapshot, LPPROCESSENTRY32 lppe, bool bFirst)
{
    if (!lppe || lppe->dwSize < sizeof(PROCESSENTRY32))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    CSnapshotObject* pSnapshot = CKernelObject::FromHandleAs<CSnapshotObject>(hSnapshot);
    if (!pSnapshot)
        return FALSE;
    BOOL ok = pSnapshot->Next(bFirst, *lppe) ? TRUE : FALSE;
    pSnapshot->Release();
    SetLastError(ok ? ERROR_SUCCESS : ERROR_NO_MORE_FILES);
    return ok;
}
} // namespace

HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD)
{
    if (!(dwFlags & TH32CS_SNAPPROCESS))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DIR* dir = opendir("/proc");
    if (!dir)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    CSnapshotObject* pSnapshot = new CSnapshotObject;
    while (struct dirent* d = readdir(dir))
    {
        char* end = nullptr;
        long pid = strtol(d->d_name, &end, 10);
        PROCESSENTRY32 entry;
        // A process may end while it is read: it is then simply not in the snapshot.
        if (pid > 0 && end && !*end && ReadEntry((pid_t)pid, entry))
            pSnapshot->m_entries.push_back(entry);
    }
    closedir(dir);
    HANDLE h = pSnapshot->OpenHandle();
    pSnapshot->Release();
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) { return NextEntry(hSnapshot, lppe, true); }
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) { return NextEntry(hSnapshot, lppe, false); }
