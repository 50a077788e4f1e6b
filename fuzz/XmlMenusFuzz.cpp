// The authority service's menu reply, whatever its bytes: a tree that is given back is whole
// (every node with its texts, a known or skippable type, children only under a popup), and
// clearing it frees all of it.
#include "FuzzSupport.h"
#include "Mapform.h"

namespace
{
size_t CheckChain(const MENU_ITEM* item, int depth)
{
    size_t n = 0;
    for (; item; item = item->next, ++n)
    {
        FUZZ_CHECK(depth < 100000);
        FUZZ_CHECK(item->name && item->icon);
        FUZZ_CHECK(item->type >= -1 && item->type <= MENU_TYPE_COMMAND);
        FUZZ_CHECK(item->toolbar <= 1 && item->permitted <= 1);
        FUZZ_CHECK(!item->child || item->type == MENU_TYPE_POPUP);
        n += CheckChain(item->child, depth + 1);
    }
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CExactText reply(data, size);
    MENU_ITEM* root = nullptr;
    FUZZ_CHECK(InitMenus(&root) && root == nullptr);
    if (ParseMenus(reply.c_str(), &root))
        CheckChain(root, 0);
    else
        FUZZ_CHECK(root == nullptr);
    FUZZ_CHECK(ClearupMenus(&root) && root == nullptr);
    return 0;
}
