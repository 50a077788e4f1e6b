// The popup menu a test brings up, read while it shows and then ended. The GUI thread is inside the
// menu's own loop meanwhile, so the menu is watched from a thread of its own.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include "AfxWin.h"
#include "CMenu.h"
#include "GuiWait.h"
#include "PollWait.h"

// One item of the menu as it showed.
struct TRACKED_MENU_ITEM
{
    UINT nID;             // 0 for a separator
    std::string strText;  // GBK
    UINT nState;          // MF_CHECKED, MF_GRAYED, ...
};

class CTrackedMenuReader
{
public:
    // Answers the command that ends the menu, from its items (0: dismissed).
    using Chooser = std::function<UINT(const std::vector<TRACKED_MENU_ITEM>&)>;

    // Watches for a menu from now on, at most dwTimeout ms.
    explicit CTrackedMenuReader(Chooser choose = nullptr, DWORD dwTimeout = 10000)
        : m_choose(std::move(choose)), m_thread([this, dwTimeout] { Watch(dwTimeout); })
    {
    }
    ~CTrackedMenuReader() { Join(); }
    CTrackedMenuReader(const CTrackedMenuReader&) = delete;
    CTrackedMenuReader& operator=(const CTrackedMenuReader&) = delete;

    bool Seen() const { return m_bSeen; }
    // Serves the GUI thread's events until the menu was read, at most dwTimeout ms.
    bool WaitSeen(DWORD dwTimeout) { return WaitFor([this] { return m_bSeen.load(); }, dwTimeout); }
    // Stops watching; after it the items may be looked at.
    void Join()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    const std::vector<TRACKED_MENU_ITEM>& Items() const { return m_items; }
    // The screen point the menu was shown at.
    POINT Point() const { return m_pt; }
    std::vector<UINT> Ids() const
    {
        std::vector<UINT> ids;
        for (const TRACKED_MENU_ITEM& item : m_items)
            ids.push_back(item.nID);
        return ids;
    }

private:
    void Watch(DWORD dwTimeout)
    {
        HMENU h = nullptr;
        PollUntil([&] { return m_bStop || (h = AfxGetTrackedMenu()) != nullptr; }, dwTimeout, 10);
        if (!h)
            return;
        m_pt = AfxGetTrackedMenuPoint();
        for (int k = 0; k < ::GetMenuItemCount(h); ++k)
        {
            char sz[256] = "";
            ::GetMenuString(h, (UINT)k, sz, sizeof(sz), MF_BYPOSITION);
            m_items.push_back({::GetMenuItemID(h, k), sz, ::GetMenuState(h, (UINT)k, MF_BYPOSITION)});
        }
        const UINT nChoice = m_choose ? m_choose(m_items) : 0;
        m_bSeen = true;
        AfxEndTrackedMenu(nChoice);
    }

    Chooser m_choose;
    std::vector<TRACKED_MENU_ITEM> m_items;
    POINT m_pt{0, 0};
    std::atomic<bool> m_bSeen{false};
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;  // last: starts once the rest is in place
};
