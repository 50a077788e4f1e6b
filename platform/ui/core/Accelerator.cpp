// Accelerator tables from the program's resources, and the translation of keys into commands.
#include <map>
#include <mutex>
#include "WndRecord.h"
#include "ResourceRegistry.h"

namespace
{
struct AccelTable
{
    const ACCEL* pEntries;
    int nEntries;
};

// Tables live as long as the program, as loaded resources do: one handle per table.
std::mutex g_tableLock;
std::map<const void*, AccelTable*>& Tables()
{
    static auto* m = new std::map<const void*, AccelTable*>;
    return *m;
}

bool Held(int vk)
{
    return GetKeyState(vk) < 0;
}
}  // namespace

HACCEL LoadAccelerators(HINSTANCE, LPCSTR lpTableName)
{
    const void* pData = nullptr;
    DWORD dwSize = 0;
    if (!lpTableName || !CResourceRegistry::FindData(lpTableName, RT_ACCELERATOR, &pData, &dwSize) ||
        dwSize < sizeof(ACCEL))
        return nullptr;
    std::lock_guard<std::mutex> guard(g_tableLock);
    AccelTable*& pTable = Tables()[pData];
    if (!pTable)
        pTable = new AccelTable{static_cast<const ACCEL*>(pData), (int)(dwSize / sizeof(ACCEL))};
    return reinterpret_cast<HACCEL>(pTable);
}

int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    if (!hAccTable || !lpMsg || !IsWindow(hWnd))
        return 0;
    const AccelTable* pTable = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_tableLock);
        for (auto& entry : Tables())
            if (reinterpret_cast<HACCEL>(entry.second) == hAccTable)
                pTable = entry.second;
    }
    if (!pTable)
        return 0;
    UINT msg = lpMsg->message;
    bool bKey = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    bool bChar = msg == WM_CHAR || msg == WM_SYSCHAR;
    if (!bKey && !bChar)
        return 0;
    bool bAlt = (lpMsg->lParam & (1L << 29)) != 0;
    bool bCtrl = Held(VK_CONTROL), bShift = Held(VK_SHIFT);
    for (int i = 0; i < pTable->nEntries; ++i)
    {
        const ACCEL& a = pTable->pEntries[i];
        if (a.key != (WORD)lpMsg->wParam)
            continue;
        if (a.fVirt & FVIRTKEY)
        {
            if (!bKey || bool(a.fVirt & FCONTROL) != bCtrl || bool(a.fVirt & FSHIFT) != bShift ||
                bool(a.fVirt & FALT) != bAlt)
                continue;
        }
        else if (!bChar || bool(a.fVirt & FALT) != bAlt)
            continue;
        SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
