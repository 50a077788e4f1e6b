// Named mutexes across processes. Each name has a lock file in the mutex folder: every process
// holding a handle keeps a shared flock on it, so the name exists exactly as long as some
// holder lives (the kernel drops the lock of a killed process). Ownership (waits, ReleaseMutex)
// is an exclusive flock on a second file. Lock files are never deleted: a deleted file could be
// recreated beside a live holder's lock and split the name in two.
#include "KernelObject.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string MutexFolder()
{
    const char* pszDir = getenv("PARVEL_MUTEX_DIR");
    std::string dir = (pszDir && *pszDir) ? pszDir : "/tmp/.parvel-mutex";
    if (dir.back() != '/')
        dir += '/';
    if (mkdir(dir.c_str(), 01777) == 0)
        chmod(dir.c_str(), 01777); // whatever the umask: every user's programs share the names
    return dir;
}

// Any byte outside a safe set is written as %XX, so "Global\x" or a GBK name is one file name.
std::string LockFileStem(const char* pszName)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string stem;
    for (const unsigned char* p = (const unsigned char*)pszName; *p; ++p)
    {
        if ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9') || *p == '-' || *p == '_')
            stem += (char)*p;
        else
        {
            stem += '%';
            stem += hex[*p >> 4];
            stem += hex[*p & 15];
        }
    }
    return MutexFolder() + stem;
}

int OpenLockFile(const std::string& path, bool bCreate)
{
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | (bCreate ? O_CREAT : 0), 0666);
    if (fd >= 0 && bCreate)
        fchmod(fd, 0666);
    return fd;
}

int flockRetry(int fd, int op)
{
    int rc;
    do
        rc = flock(fd, op);
    while (rc != 0 && errno == EINTR);
    return rc;
}

// Serialises "does it exist, then hold it" between processes.
class CFolderGuard
{
public:
    CFolderGuard() : m_fd(OpenLockFile(MutexFolder() + ".guard", true))
    {
        if (m_fd >= 0)
            flockRetry(m_fd, LOCK_EX);
    }
    ~CFolderGuard()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool IsValid() const { return m_fd >= 0; }

private:
    int m_fd;
};

class CMutexObject;
std::mutex g_namesLock;
std::map<std::string, CMutexObject*>& Names()
{
    static auto* s_names = new std::map<std::string, CMutexObject*>;
    return *s_names;
}

class CMutexObject : public CKernelObject
{
public:
    CMutexObject(const std::string& name, int fdHold, int fdOwn) : m_name(name), m_fdHold(fdHold), m_fdOwn(fdOwn) {}

    bool IsNamed() const { return !m_name.empty(); }
    const std::string& Name() const { return m_name; }

    BOOL ReleaseOwnership()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_dwOwner != GetCurrentThreadId() || m_nCount == 0)
        {
            SetLastError(ERROR_NOT_OWNER);
            return FALSE;
        }
        if (--m_nCount == 0)
        {
            m_dwOwner = 0;
            if (m_fdOwn >= 0)
                flockRetry(m_fdOwn, LOCK_UN);
            Signal();
        }
        return TRUE;
    }

protected:
    ~CMutexObject() override
    {
        if (m_fdOwn >= 0)
            close(m_fdOwn);
        if (m_fdHold >= 0)
            close(m_fdHold);
    }

    bool TryWaitLocked() override
    {
        const DWORD dwSelf = GetCurrentThreadId();
        if (m_dwOwner == dwSelf)
        {
            ++m_nCount;
            return true;
        }
        if (m_dwOwner != 0)
            return false;
        if (m_fdOwn >= 0 && flock(m_fdOwn, LOCK_EX | LOCK_NB) != 0)
            return false;
        m_dwOwner = dwSelf;
        m_nCount = 1;
        return true;
    }

    // Another process may let go of the ownership file at any time.
    DWORD PollInterval() const override { return m_fdOwn >= 0 ? 10 : INFINITE; }

    void OnLastHandleClosed() override
    {
        if (IsNamed())
        {
            std::lock_guard<std::mutex> names(g_namesLock);
            if (HasOpenHandle())
                return; // reopened meanwhile
            auto it = Names().find(m_name);
            if (it != Names().end() && it->second == this)
                Names().erase(it);
        }
        // The name ends with the last handle, even while a waiter still holds the object.
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_fdHold >= 0)
        {
            close(m_fdHold);
            m_fdHold = -1;
        }
        if (m_fdOwn >= 0)
        {
            close(m_fdOwn);
            m_fdOwn = -1;
        }
        m_dwOwner = 0;
        m_nCount = 0;
        Signal();
    }

private:
    std::string m_name;
    int m_fdHold;
    int m_fdOwn;
    DWORD m_dwOwner = 0;
    unsigned m_nCount = 0;
};

// Opens (bCreate) or finds the name across processes. Returns the holder's descriptor, with its
// shared lock taken, or -1; bExisted tells whether another holder had it already.
int HoldName(const std::string& stem, bool bCreate, bool& bExisted)
{
    bExisted = false;
    CFolderGuard guard;
    if (!guard.IsValid())
        return -1;
    int fd = OpenLockFile(stem, bCreate);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
    {
        if (!bCreate)
        {
            close(fd); // nobody holds it: the name does not exist
            return -1;
        }
        flockRetry(fd, LOCK_SH); // safe to downgrade: every tester waits for the guard
    }
    else
    {
        bExisted = true;
        flockRetry(fd, LOCK_SH);
    }
    return fd;
}

HANDLE TakeOwnershipIf(HANDLE h, BOOL bInitialOwner)
{
    if (h && bInitialOwner)
        WaitForSingleObject(h, 0);
    return h;
}

// Makes this process's object for a name whose lock file it now holds, registered under the
// name; the caller gets its only handle. Called with g_namesLock held.
HANDLE AttachNamedMutex(LPCSTR lpName, const std::string& stem, int fdHold)
{
    int fdOwn = OpenLockFile(stem + ".own", true);
    CMutexObject* pMutex = new CMutexObject(lpName, fdHold, fdOwn);
    Names()[lpName] = pMutex;
    HANDLE h = pMutex->OpenHandle();
    pMutex->Release();
    return h;
}
} // namespace

HANDLE CreateMutex(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName)
{
    if (!lpName || !*lpName)
    {
        CMutexObject* pMutex = new CMutexObject(std::string(), -1, -1);
        HANDLE h = pMutex->OpenHandle();
        pMutex->Release();
        TakeOwnershipIf(h, bInitialOwner);
        SetLastError(ERROR_SUCCESS);
        return h;
    }

    std::lock_guard<std::mutex> names(g_namesLock);
    auto it = Names().find(lpName);
    if (it != Names().end())
    {
        HANDLE h = it->second->OpenHandle();
        SetLastError(ERROR_ALREADY_EXISTS);
        return h; // an existing mutex is not taken, as on Windows
    }
    const std::string stem = LockFileStem(lpName);
    bool bExisted = false;
    int fdHold = HoldName(stem, true, bExisted);
    if (fdHold < 0)
    {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    HANDLE h = AttachNamedMutex(lpName, stem, fdHold);
    if (!bExisted)
        TakeOwnershipIf(h, bInitialOwner);
    SetLastError(bExisted ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

HANDLE OpenMutex(DWORD, BOOL, LPCSTR lpName)
{
    if (!lpName || !*lpName)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard<std::mutex> names(g_namesLock);
    auto it = Names().find(lpName);
    if (it != Names().end())
    {
        SetLastError(ERROR_SUCCESS);
        return it->second->OpenHandle();
    }
    const std::string stem = LockFileStem(lpName);
    bool bExisted = false;
    int fdHold = HoldName(stem, false, bExisted);
    if (fdHold < 0)
    {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    HANDLE h = AttachNamedMutex(lpName, stem, fdHold);
    SetLastError(ERROR_SUCCESS);
    return h;
}

BOOL ReleaseMutex(HANDLE hMutex)
{
    CMutexObject* pMutex = CKernelObject::FromHandleAs<CMutexObject>(hMutex);
    if (!pMutex)
        return FALSE;
    BOOL bDone = pMutex->ReleaseOwnership();
    pMutex->Release();
    return bDone;
}
