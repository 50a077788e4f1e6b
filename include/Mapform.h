// Mapform: the outside parsing library (XML replies, menu tree, Excel order sheets).
#pragma once

// libMapform.so is built with hidden visibility and shows the calls below only.
#define MAPFORM_API __attribute__((visibility("default")))

#pragma pack(push, 1)
// 1059 bytes, zero-filled by the caller; the first byte is non-zero when the server reported success.
struct XML_RESPONSE
{
    unsigned char success;
    char code[33];
    char message[1025];
};

// 1058 bytes, zero-filled by the caller.
struct VERSION_INFO
{
    char version[33];
    char url[1025];
};
#pragma pack(pop)

static_assert(sizeof(XML_RESPONSE) == 1059, "XML_RESPONSE is 1059 bytes");
static_assert(sizeof(VERSION_INFO) == 1058, "VERSION_INFO is 1058 bytes");

// One node of the user's menu tree; allocated and freed by the library.
struct MENU_ITEM
{
    char* name;
    char* action;
    char* icon;
    unsigned char toolbar;
    unsigned char permitted;
    int type;  // 0 popup, 1 separator, 2 command
    MENU_ITEM* next;
    MENU_ITEM* child;
};

#define MENU_TYPE_POPUP 0
#define MENU_TYPE_SEPARATOR 1
#define MENU_TYPE_COMMAND 2

MAPFORM_API bool MF_ParseXml(const char* xml, XML_RESPONSE* out);
MAPFORM_API bool MF_ParseVersion(const char* xml, VERSION_INFO* out);
// On true *text is the order sheet as NUL-terminated UTF-8 text, released with free().
MAPFORM_API bool MF_ParseOrderInExcel(const char* path, char** text);
MAPFORM_API bool InitMenus(MENU_ITEM** root);
// xml is ANSI (GBK) text; afterwards *root is the tree or null.
MAPFORM_API bool ParseMenus(const char* xml, MENU_ITEM** root);
MAPFORM_API bool ClearupMenus(MENU_ITEM** root);
