#include <gtest/gtest.h>

#include "NewsBox.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

// Items made by the tests are tracked, so that a test sees which ones the box deleted.
// A fixed table: the replaced operators must not allocate themselves.
namespace {
const int kSlots = 4096;
std::mutex g_trackLock;
void* g_tracked[kSlots];
}

void* operator new(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

static void Release(void* p) noexcept
{
    if (p) {
        std::lock_guard<std::mutex> guard(g_trackLock);
        for (void*& slot : g_tracked)
            if (slot == p) slot = nullptr;
    }
    std::free(p);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }

namespace {

int Live()
{
    std::lock_guard<std::mutex> guard(g_trackLock);
    int n = 0;
    for (void* slot : g_tracked) n += slot != nullptr;
    return n;
}

CNewsItem* Item(const char* id)
{
    CNewsItem* p = new CNewsItem;
    p->id = id;
    std::lock_guard<std::mutex> guard(g_trackLock);
    for (void*& slot : g_tracked)
        if (!slot) {
            slot = p;
            break;
        }
    return p;
}

TEST(NewsBoxTest, KeepsOrderAndOwnsItsItems)
{
    {
        CNewsBox box;
        EXPECT_EQ(box.Count(), 0);
        EXPECT_EQ(box.ItemAt(0), nullptr);
        box.Append(Item("a"));
        box.Append(nullptr);
        box.Append(Item("b"));
        box.Append(Item("c"));
        ASSERT_EQ(box.Count(), 3);
        EXPECT_EQ(box.ItemAt(0)->id, "a");
        EXPECT_EQ(box.ItemAt(2)->id, "c");
        EXPECT_EQ(box.ItemAt(3), nullptr);  // index equal to the count
        EXPECT_EQ(box.ItemAt(-1), nullptr);

        box.RemoveItem(box.ItemAt(1));
        EXPECT_EQ(Live(), 2);
        ASSERT_EQ(box.Count(), 2);
        EXPECT_EQ(box.ItemAt(1)->id, "c");

        box.Clear();
        EXPECT_EQ(box.Count(), 0);
        EXPECT_EQ(Live(), 0);
        box.Append(Item("d"));
    }
    EXPECT_EQ(Live(), 0);  // the destructor deletes what is left
}

TEST(NewsBoxTest, RemoveItemDropsEveryEntryOfThePointer)
{
    CNewsBox box;
    CNewsItem* twice = Item("twice");
    box.Append(Item("x"));
    box.Append(twice);
    box.Append(Item("y"));
    box.Append(twice);
    box.RemoveItem(twice);
    ASSERT_EQ(box.Count(), 2);
    EXPECT_EQ(box.ItemAt(0)->id, "x");
    EXPECT_EQ(box.ItemAt(1)->id, "y");
    EXPECT_EQ(Live(), 2);
}

// The tip flow calls back into the box while it holds the lock.
class CReentrantBox : public CNewsBox
{
public:
    int CountUnderLock()
    {
        CAutoLock guard(m_lock);
        CNewsItem* head = ItemAt(0);
        return head ? Count() : -1;
    }
};

TEST(NewsBoxTest, LockIsReentrantAndGuardsAgainstOtherThreads)
{
    CReentrantBox box;
    box.Append(Item("head"));
    EXPECT_EQ(box.CountUnderLock(), 1);

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&box] {
            for (int i = 0; i < 500; ++i) {
                box.Append(Item("t"));
                box.ItemAt(box.Count() - 1);
            }
        });
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(box.Count(), 2001);
    box.Clear();
    EXPECT_EQ(Live(), 0);
}

} // namespace
