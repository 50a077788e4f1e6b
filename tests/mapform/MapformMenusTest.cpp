#include <gtest/gtest.h>

#include "Mapform.h"

#include <string>

namespace {

// GBK literals: ParseMenus reads the authority reply after its conversion to ANSI.
const char* kTree =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<menus>"
    "<menu name=\"订单管理\" icon=\"order\" type=\"popup\" permitted=\"1\">"
    "<menu name=\"订单录入\" action=\"http://127.0.10.1/order?a=1&amp;b=2\" icon=\"add\" toolbar=\"1\" permitted=\"1\" type=\"command\"/>"
    "<menu type=\"separator\"/>"
    "<menu name=\"表单\" type=\"popup\">"
    "<menu name=\"打印\" action=\"http://127.0.10.1/print\" type=\"command\" permitted=\"0\"/>"
    "</menu>"
    "<menu name=\"无权\" type=\"command\"/>"
    "</menu>"
    "<menu name=\"运单查询\" icon=\"query\" type=\"popup\"/>"
    "<menu name=\"顶层\" type=\"command\" action=\"http://127.0.10.1/top\"/>"
    "</menus>";

class MapformMenusTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(InitMenus(&m_root)); }
    void TearDown() override
    {
        EXPECT_TRUE(ClearupMenus(&m_root));
        EXPECT_EQ(m_root, nullptr);
    }

    MENU_ITEM* m_root = reinterpret_cast<MENU_ITEM*>(0x1);  // InitMenus must clear it
};

TEST_F(MapformMenusTest, TreeFollowsTheDocument)
{
    EXPECT_EQ(m_root, nullptr);
    ASSERT_TRUE(ParseMenus(kTree, &m_root));

    MENU_ITEM* order = m_root;
    ASSERT_NE(order, nullptr);
    EXPECT_STREQ(order->name, "订单管理");
    EXPECT_STREQ(order->icon, "order");
    EXPECT_EQ(order->action, nullptr);
    EXPECT_EQ(order->type, MENU_TYPE_POPUP);
    EXPECT_EQ(order->permitted, 1);
    EXPECT_EQ(order->toolbar, 0);

    MENU_ITEM* add = order->child;
    ASSERT_NE(add, nullptr);
    EXPECT_STREQ(add->name, "订单录入");
    EXPECT_STREQ(add->action, "http://127.0.10.1/order?a=1&b=2");
    EXPECT_EQ(add->type, MENU_TYPE_COMMAND);
    EXPECT_EQ(add->toolbar, 1);
    EXPECT_EQ(add->child, nullptr);

    MENU_ITEM* sep = add->next;
    ASSERT_NE(sep, nullptr);
    EXPECT_EQ(sep->type, MENU_TYPE_SEPARATOR);
    EXPECT_STREQ(sep->name, "");
    EXPECT_STREQ(sep->icon, "");
    EXPECT_EQ(sep->action, nullptr);

    MENU_ITEM* forms = sep->next;
    ASSERT_NE(forms, nullptr);
    EXPECT_STREQ(forms->name, "表单");
    EXPECT_EQ(forms->type, MENU_TYPE_POPUP);
    ASSERT_NE(forms->child, nullptr);
    EXPECT_STREQ(forms->child->name, "打印");
    EXPECT_EQ(forms->child->permitted, 0);
    EXPECT_EQ(forms->child->next, nullptr);

    MENU_ITEM* denied = forms->next;
    ASSERT_NE(denied, nullptr);
    EXPECT_STREQ(denied->name, "无权");
    EXPECT_EQ(denied->action, nullptr);
    EXPECT_EQ(denied->permitted, 1);  // missing flag: permitted
    EXPECT_EQ(denied->toolbar, 0);    // missing flag: no button
    EXPECT_EQ(denied->next, nullptr);

    MENU_ITEM* query = order->next;
    ASSERT_NE(query, nullptr);
    EXPECT_STREQ(query->name, "运单查询");
    EXPECT_EQ(query->child, nullptr);

    MENU_ITEM* top = query->next;
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->type, MENU_TYPE_COMMAND);
    EXPECT_STREQ(top->action, "http://127.0.10.1/top");
    EXPECT_EQ(top->next, nullptr);
}

TEST_F(MapformMenusTest, GbkTrailBytesInTheAsciiRangePassThrough)
{
    // The second bytes of these characters are "\\", "]" and "|".
    ASSERT_TRUE(ParseMenus("<menus><menu name=\"乗乚亅\" icon=\"俓\" type=\"command\" action=\"http://h/乗?a=\\\"/></menus>",
                           &m_root));
    ASSERT_NE(m_root, nullptr);
    EXPECT_STREQ(m_root->name, "\x81\x5C\x81\x5D\x81\x7C");
    EXPECT_STREQ(m_root->icon, "俓");
    EXPECT_STREQ(m_root->action, "http://h/乗?a=\\");
}

TEST_F(MapformMenusTest, EmptyTreeIsNullRoot)
{
    EXPECT_TRUE(ParseMenus("<menus/>", &m_root));
    EXPECT_EQ(m_root, nullptr);
    EXPECT_TRUE(ParseMenus("<menus>\n  </menus>", &m_root));
    EXPECT_EQ(m_root, nullptr);
}

TEST_F(MapformMenusTest, MalformedRepliesLeaveNoTree)
{
    const char* cases[] = {
        "",
        "<html><body>error</body></html>",                               // not a menu tree
        "<menus><menu name=\"a\" type=\"popup\"><menu name=\"b\"></menus>", // unclosed
        "<menus><menu name=\"订单></menu></menus>",                       // broken attribute
        "menus",
    };
    for (const char* xml : cases) {
        MENU_ITEM* root = nullptr;
        EXPECT_FALSE(ParseMenus(xml, &root)) << xml;
        EXPECT_EQ(root, nullptr) << xml;
    }
    EXPECT_FALSE(ParseMenus(nullptr, &m_root));
    EXPECT_EQ(m_root, nullptr);
    EXPECT_FALSE(ParseMenus(kTree, nullptr));
}

TEST_F(MapformMenusTest, FlagsAndTypesFromTheirTexts)
{
    ASSERT_TRUE(ParseMenus("<menus>"
                           "<menu type=\"command\" toolbar=\"0\" permitted=\"0\"/>"
                           "<menu type=\"command\" toolbar=\"1\" permitted=\"1\"/>"
                           "<menu type=\"link\"/>"
                           "<menu/>"
                           "</menus>",
                           &m_root));
    MENU_ITEM* a = m_root;
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->toolbar, 0);
    EXPECT_EQ(a->permitted, 0);
    MENU_ITEM* b = a->next;
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->toolbar, 1);
    EXPECT_EQ(b->permitted, 1);
    // Unknown or missing types stay in the chain under a type the client does not show.
    for (MENU_ITEM* u = b->next; u; u = u->next) {
        EXPECT_NE(u->type, MENU_TYPE_POPUP);
        EXPECT_NE(u->type, MENU_TYPE_SEPARATOR);
        EXPECT_NE(u->type, MENU_TYPE_COMMAND);
    }
    ASSERT_NE(b->next, nullptr);
    ASSERT_NE(b->next->next, nullptr);
}

TEST_F(MapformMenusTest, LargeTreeParsesAndFreesWhole)
{
    std::string xml = "<menus>";
    for (int p = 0; p < 200; ++p) {
        xml += "<menu name=\"菜单" + std::to_string(p) + "\" type=\"popup\">";
        for (int c = 0; c < 50; ++c)
            xml += "<menu name=\"命令\" action=\"http://h/" + std::to_string(p * 50 + c) + "\" type=\"command\"/>";
        xml += "</menu>";
    }
    xml += "</menus>";
    ASSERT_TRUE(ParseMenus(xml.c_str(), &m_root));
    MENU_ITEM* last = m_root;
    int popups = 1;
    while (last->next) { last = last->next; ++popups; }
    EXPECT_EQ(popups, 200);
    EXPECT_STREQ(last->name, "菜单199");
    MENU_ITEM* cmd = last->child;
    while (cmd->next) cmd = cmd->next;
    EXPECT_STREQ(cmd->action, "http://h/9999");
}

TEST(MapformMenusNullTest, NullRootsAreAccepted)
{
    EXPECT_TRUE(ClearupMenus(nullptr));
    MENU_ITEM* root = nullptr;
    EXPECT_TRUE(ClearupMenus(&root));
    EXPECT_EQ(root, nullptr);
    EXPECT_FALSE(InitMenus(nullptr));
}

} // namespace
