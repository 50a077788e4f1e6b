// Global memory: every block is recorded, so a stale or foreign handle is refused.
#include "GlobalMemory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Block
{
    void* data = nullptr;
    size_t size = 0;
    UINT flags = 0;
    int locks = 0;
};

struct Blocks
{
    std::mutex lock;
    std::unordered_map<const void*, Block*> byHandle;
};

Blocks& All()
{
    static Blocks* b = new Blocks;  // used up to the end of the process
    return *b;
}

Block* Find(HGLOBAL h)
{
    auto it = All().byHandle.find(h);
    return it == All().byHandle.end() ? nullptr : it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    // A zero-byte block still gets an address, so the handle is unique.
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
    if (!data) { SetLastError(ERROR_NOT_ENOUGH_MEMORY); return nullptr; }
    Block* b = new Block;
    b->data = data;
    b->size = bytes;
    b->flags = flags;
    HGLOBAL h = (flags & GMEM_MOVEABLE) ? (HGLOBAL)b : (HGLOBAL)data;
    std::lock_guard<std::mutex> g(All().lock);
    All().byHandle[h] = b;
    return h;
}

void* GlobalLock(HGLOBAL h)
{
    std::lock_guard<std::mutex> g(All().lock);
    Block* b = Find(h);
    if (!b) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    if (b->flags & GMEM_MOVEABLE) ++b->locks;
    return b->data;
}

BOOL GlobalUnlock(HGLOBAL h)
{
    std::lock_guard<std::mutex> g(All().lock);
    Block* b = Find(h);
    if (!b) { SetLastError(ERROR_INVALID_HANDLE); return FALSE; }
    if (b->locks > 0) --b->locks;
    SetLastError(ERROR_SUCCESS);
    return b->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL h)
{
    if (!h) return nullptr;
    Block* b = nullptr;
    {
        std::lock_guard<std::mutex> g(All().lock);
        b = Find(h);
        if (!b) { SetLastError(ERROR_INVALID_HANDLE); return h; }
        All().byHandle.erase(h);
    }
    std::free(b->data);
    delete b;
    return nullptr;
}

size_t GlobalSize(HGLOBAL h)
{
    std::lock_guard<std::mutex> g(All().lock);
    Block* b = Find(h);
    if (!b) { SetLastError(ERROR_INVALID_HANDLE); return 0; }
    return b->size;
}

HGLOBAL GlobalReAlloc(HGLOBAL h, size_t bytes, UINT flags)
{
    std::lock_guard<std::mutex> g(All().lock);
    Block* b = Find(h);
    if (!b) { SetLastError(ERROR_INVALID_HANDLE); return nullptr; }
    // A fixed block would change its handle; only movable ones, or locked ones, stay put.
    if (!(b->flags & GMEM_MOVEABLE) || b->locks > 0) { SetLastError(ERROR_ACCESS_DENIED); return nullptr; }
    void* data = std::realloc(b->data, bytes ? bytes : 1);
    if (!data) { SetLastError(ERROR_NOT_ENOUGH_MEMORY); return nullptr; }
    if ((flags & GMEM_ZEROINIT) && bytes > b->size) std::memset((char*)data + b->size, 0, bytes - b->size);
    b->data = data;
    b->size = bytes;
    return h;
}
