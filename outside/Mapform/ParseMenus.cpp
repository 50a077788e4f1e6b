// The authority service's menu tree:
// <menus><menu name icon type="popup|separator|command" action toolbar permitted>...</menu></menus>
#include "Mapform.h"

#include <cstdlib>
#include <cstring>
#include <tinyxml.h>
#include "XmlReplyCheck.h"

namespace {

char* CopyText(const char* s)
{
    size_t n = std::strlen(s) + 1;
    char* p = static_cast<char*>(std::malloc(n));
    if (p) std::memcpy(p, s, n);
    return p;
}

void FreeChain(MENU_ITEM* item)
{
    while (item) {
        MENU_ITEM* next = item->next;
        FreeChain(item->child);
        std::free(item->name);
        std::free(item->action);
        std::free(item->icon);
        std::free(item);
        item = next;
    }
}

int TypeOf(const char* type)
{
    if (!type) return -1;
    if (std::strcmp(type, "popup") == 0) return MENU_TYPE_POPUP;
    if (std::strcmp(type, "separator") == 0) return MENU_TYPE_SEPARATOR;
    if (std::strcmp(type, "command") == 0) return MENU_TYPE_COMMAND;
    return -1;  // unknown: kept, so the client can skip it as it skips any other type
}

unsigned char Flag(const TiXmlElement* e, const char* name, unsigned char absent)
{
    const char* v = e->Attribute(name);
    if (!v) return absent;
    return std::strcmp(v, "0") == 0 ? 0 : 1;
}

MENU_ITEM* BuildChain(const TiXmlElement* parent, bool* ok);

MENU_ITEM* BuildItem(const TiXmlElement* e, bool* ok)
{
    MENU_ITEM* item = static_cast<MENU_ITEM*>(std::calloc(1, sizeof(MENU_ITEM)));
    if (!item) { *ok = false; return nullptr; }
    const char* name = e->Attribute("name");
    const char* icon = e->Attribute("icon");
    const char* action = e->Attribute("action");
    item->name = CopyText(name ? name : "");
    item->icon = CopyText(icon ? icon : "");
    item->action = action ? CopyText(action) : nullptr;
    item->toolbar = Flag(e, "toolbar", 0);
    item->permitted = Flag(e, "permitted", 1);
    item->type = TypeOf(e->Attribute("type"));
    if (!item->name || !item->icon || (action && !item->action)) *ok = false;
    if (*ok && item->type == MENU_TYPE_POPUP) item->child = BuildChain(e, ok);
    return item;
}

// The "menu" children of parent, in document order.
MENU_ITEM* BuildChain(const TiXmlElement* parent, bool* ok)
{
    MENU_ITEM* first = nullptr;
    MENU_ITEM** tail = &first;
    for (const TiXmlElement* e = parent->FirstChildElement("menu"); e && *ok; e = e->NextSiblingElement("menu")) {
        MENU_ITEM* item = BuildItem(e, ok);
        if (!item) break;
        *tail = item;
        tail = &item->next;
    }
    return first;
}

} // namespace

bool InitMenus(MENU_ITEM** root)
{
    if (!root) return false;
    *root = nullptr;
    return true;
}

bool ParseMenus(const char* xml, MENU_ITEM** root)
{
    if (!root) return false;
    *root = nullptr;
    if (!xml) return false;
    if (!CXmlReplyCheck::IsNestedWithin(xml)) return false;
    TiXmlDocument doc;
    // GBK text: the legacy encoding passes its bytes through unchanged, whatever the declaration says.
    doc.Parse(xml, nullptr, TIXML_ENCODING_LEGACY);
    if (doc.Error()) return false;
    const TiXmlElement* top = doc.RootElement();
    if (!top || std::strcmp(top->Value(), "menus") != 0) return false;

    bool ok = true;
    MENU_ITEM* tree = BuildChain(top, &ok);
    if (!ok) {
        FreeChain(tree);
        return false;
    }
    *root = tree;
    return true;
}

bool ClearupMenus(MENU_ITEM** root)
{
    if (!root) return true;
    FreeChain(*root);
    *root = nullptr;
    return true;
}
