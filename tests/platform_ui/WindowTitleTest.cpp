// Every top-level window carries its title in its X11 names (WM_NAME and _NET_WM_NAME), with or
// without a window manager, so other programs and the desktop see it.
#include <gtest/gtest.h>
#include <wx/wx.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include "AfxWin.h"
#include "CodePage.h"
#include "UiTestUtil.h"

namespace
{
enum { IDD_TITLED = 9310 };
const DLGITEMTEMPLATE_DATA s_items[] = {
    {IDOK, "Button", "确定", WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 10, 10, 50, 14},
};
const DLGTEMPLATE_DATA s_dialog = {WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 120, 40, "用户登录", 9, "宋体", s_items, 1};
CResourceRegistrar s_reg([] { CResourceRegistry::AddDialog(IDD_TITLED, &s_dialog); });

struct Names
{
    std::string wmName;   // WM_NAME, as UTF-8
    std::string netName;  // _NET_WM_NAME (UTF8_STRING)
};

Names NamesOf(unsigned long xid)
{
    Names n;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return n;
    XTextProperty prop{};
    if (XGetWMName(d, (Window)xid, &prop) && prop.value)
    {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(d, &prop, &list, &count) >= Success && count > 0 && list)
            n.wmName = list[0];
        if (list)
            XFreeStringList(list);
        XFree(prop.value);
    }
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, (Window)xid, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &items, &after, &data) == Success &&
        data)
    {
        n.netName.assign((const char*)data, items);
        XFree(data);
    }
    XCloseDisplay(d);
    return n;
}

// Both names of the window once it is on the X server, and after a change of its text.
void ExpectTitled(CWnd* pWnd, const char* pszTitleGbk)
{
    ASSERT_TRUE(WaitFor([&] { return pWnd->GetX11Window() != 0; }));
    const std::string utf8 = CCodePage::AnsiToUtf8(pszTitleGbk);
    EXPECT_TRUE(WaitFor([&] {
        Names n = NamesOf(pWnd->GetX11Window());
        return n.wmName == utf8 && n.netName == utf8;
    })) << NamesOf(pWnd->GetX11Window()).wmName << " / " << NamesOf(pWnd->GetX11Window()).netName;
}
}  // namespace

TEST(WindowTitleTest, FrameAndDialogCarryTheirTitlesInBothNames)
{
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "Velkor速递网点客户端", WS_OVERLAPPEDWINDOW, CRect(10, 10, 300, 200)));
    pFrame->ShowWindow(SW_SHOW);
    ExpectTitled(pFrame, "Velkor速递网点客户端");
    pFrame->SetWindowText("网点客户端 - 已锁定");
    ExpectTitled(pFrame, "网点客户端 - 已锁定");

    CDialog dlg(IDD_TITLED);
    ASSERT_TRUE(dlg.Create(IDD_TITLED));
    dlg.ShowWindow(SW_SHOW);
    ExpectTitled(&dlg, "用户登录");
    dlg.DestroyWindow();
    pFrame->DestroyWindow();
}

namespace
{
// Reads the names of the shown box of a caption from inside its modal loop, then closes it.
class CBoxNames : public wxTimer
{
public:
    explicit CBoxNames(const std::string& captionUtf8) : m_caption(wxString::FromUTF8(captionUtf8.c_str())) { Start(20); }
    bool bSeen = false;
    Names names;
    void Notify() override
    {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* tl = dynamic_cast<wxTopLevelWindow*>(w); tl && tl->IsShownOnScreen() && tl->GetTitle() == m_caption)
            {
                GdkWindow* gw = gtk_widget_get_window((GtkWidget*)tl->GetHandle());
                names = NamesOf(gw ? GDK_WINDOW_XID(gw) : 0);
                bSeen = true;
                Stop();
                tl->Close();
                return;
            }
    }

private:
    wxString m_caption;
};
}  // namespace

TEST(WindowTitleTest, MessageBoxCarriesItsCaptionInBothNames)
{
    const std::string utf8 = CCodePage::AnsiToUtf8("密码不能为空！");
    CBoxNames reader(utf8);
    MessageBox(nullptr, "请输入密码", "密码不能为空！", MB_OK);
    ASSERT_TRUE(reader.bSeen);
    EXPECT_EQ(reader.names.wmName, utf8);
    EXPECT_EQ(reader.names.netName, utf8);
}
