// The password edit: typed text is kept and only stars are shown; pasting and the context menu
// are refused. Messages where the control's logic is the point, real input where the toolkit
// could get around it.
#include "SignonTestSupport.h"

#include <cstdlib>
#include <gtk/gtk.h>
#include <wx/window.h>
#include <string>
#include <thread>
#include "KernelObject.h"
#include "OptionCtrl.h"
#include "RealInput.h"
#include "X11Window.h"

// Mapped top-level windows of the X server (a context menu would be one more).
int MappedTopLevels();

namespace
{
void SendChars(HWND hEdit, const std::string& bytes)
{
    for (unsigned char ch : bytes)
        ::SendMessage(hEdit, WM_CHAR, ch, 1);
}

// Edits by messages, one step a byte: typed bytes; '#': select all; '|' n: caret to n;
// '[' a b: select a..b; 'B': Backspace; 'X': clear the selection.
void RunSteps(HWND hEdit, const std::string& steps)
{
    for (size_t i = 0; i < steps.size(); ++i)
    {
        char ch = steps[i];
        if (ch == '#')
            ::SendMessage(hEdit, EM_SETSEL, 0, -1);
        else if (ch == 'B')
            ::SendMessage(hEdit, WM_CHAR, VK_BACK, 1);
        else if (ch == 'X')
            ::SendMessage(hEdit, WM_CLEAR, 0, 0);
        else if (ch == '[' && i + 2 < steps.size())
        {
            int a = steps[i + 1] - '0', b = steps[i + 2] - '0';
            i += 2;
            ::SendMessage(hEdit, EM_SETSEL, a, b);
        }
        else if (ch == '|' && i + 1 < steps.size())
        {
            int n = steps[++i] - '0';
            ::SendMessage(hEdit, EM_SETSEL, n, n);
        }
        else
            SendChars(hEdit, std::string(1, ch));
    }
}

void Xdotool(const std::string& args)
{
    ASSERT_TRUE(Xdo(args)) << args;
}

class SecureEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLoginUrlForTest("https://127.0.0.1:1/cas3.4/login");
        SetUpdateUrlForTest("http://127.0.0.1:1/velkor_khd/w/");
        COptionCtrl().SetLocalVersionInfo("999.0.0.0");
        ClearRecords();
    }

    // Runs the sign-on dialog with its password edit; check gets the edit's handle.
    void WithEdit(const std::function<void(CTestLoginDlg&, HWND)>& check)
    {
        CTestLoginDlg dlg(1, "demo");
        RunDialogDriven(dlg, [&](HWND hDlg) { check(dlg, ::GetDlgItem(hDlg, IDC_EDIT_PASSWORD)); });
    }

    // The edit keeps kept and shows its stars, once the input sent before has arrived (bounded).
    static void Expect(CTestLoginDlg& dlg, HWND hEdit, const std::string& kept)
    {
        WaitOnGui([&] { return dlg.PasswordEdit().GetRealText().str() == kept; }, 3000);
        OnGui([&] {
            EXPECT_EQ(dlg.PasswordEdit().GetRealText().str(), kept);
            EXPECT_EQ(WindowText(hEdit).str(), std::string(kept.size(), '*'));
        });
    }

    // Gives the edit the X input focus, so that real key presses reach it.
    static void FocusForInput(HWND hDlg, HWND hEdit)
    {
        OnGui([&] {
            ::SetForegroundWindow(hDlg);
            ::SetFocus(hEdit);
        });
        // Real keys reach the edit once its window is the active one and the edit has the focus.
        EXPECT_TRUE(WaitOnGui([&] { return ::GetActiveWindow() == hDlg && ::GetFocus() == hEdit; }, 3000));
    }
};

TEST_F(SecureEditTest, KeepsWhatIsTypedAndShowsStars)
{
    struct CASE
    {
        const char* pszName;
        std::string steps;  // RunSteps
        std::string kept;
    } cases[] = {
        {"plain", "ab1", "ab1"},
        {"selection replaced", "ab#c", "c"},
        {"inserted in the middle", "abc|1Z", "aZbc"},
        {"GBK character", "x你", "x你"},
        {"GBK character replacing a selection", "ab#好", "好"},
        {"one byte replaced", "abc[12Z", "aZc"},
        {"two bytes replaced by a GBK character", "abcd[13你", "a你d"},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
            RunSteps(hEdit, c.steps);
            Expect(dlg, hEdit, c.kept);
        });
    }
}

TEST_F(SecureEditTest, SetRealTextShowsOneStarPerByte)
{
    WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
        OnGui([&] { dlg.PasswordEdit().SetRealText("口令pw"); });
        Expect(dlg, hEdit, "口令pw");
        OnGui([&] { dlg.PasswordEdit().SetRealText(""); });
        Expect(dlg, hEdit, "");
        // The system's masking is off: the control shows its own stars.
        OnGui([&] { EXPECT_FALSE(::GetWindowLongPtr(hEdit, GWL_STYLE) & ES_PASSWORD); });
    });
}

TEST_F(SecureEditTest, CtrlVByMessageIsSwallowed)
{
    WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
        OnGui([] { gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "zz", -1); });
        SendChars(hEdit, "ab");
        ::SendMessage(hEdit, WM_CHAR, 22, 1);
        Expect(dlg, hEdit, "ab");
    });
}

TEST_F(SecureEditTest, RealCtrlVChangesNothing)
{
    WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
        OnGui([] { gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "zz", -1); });
        FocusForInput(::GetParent(hEdit), hEdit);
        Xdotool("type --delay 40 ab");
        Expect(dlg, hEdit, "ab");
        // The c after it shows that Ctrl+V has been handled: nothing came in between.
        Xdotool("key ctrl+v");
        Xdotool("type c");
        Expect(dlg, hEdit, "abc");
    });
}

TEST_F(SecureEditTest, RealTypingBackspaceAndMiddleButtonPaste)
{
    WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
        FocusForInput(::GetParent(hEdit), hEdit);
        Xdotool("type --delay 40 ab1c");
        Expect(dlg, hEdit, "ab1c");
        Xdotool("key BackSpace BackSpace");
        Expect(dlg, hEdit, "ab");
        Xdotool("type --delay 40 1");
        Expect(dlg, hEdit, "ab1");

        OnGui([] {
            gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "zz", -1);
            gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_PRIMARY), "yy", -1);
        });

        RECT rc = {};
        OnGui([&] { ::GetWindowRect(hEdit, &rc); });
        Xdotool("mousemove " + std::to_string((rc.left + rc.right) / 2) + " " + std::to_string((rc.top + rc.bottom) / 2));
        Xdotool("click 2");
        // The 2 typed at the end after it shows that the click has been handled, pasting nothing.
        Xdotool("key End");
        Xdotool("type 2");
        Expect(dlg, hEdit, "ab12");
    });
}

// A GBK character shows as two stars; removing one of them removes the whole character.
TEST_F(SecureEditTest, RemovingTakesWholeCharacters)
{
    struct CASE
    {
        const char* pszName;
        std::string steps;  // RunSteps
        std::string kept;
    } cases[] = {
        {"Backspace after a GBK character", "ab中中B", "ab中"},
        {"Backspace between two GBK characters", "ab中文|4B", "ab文"},
        {"Backspace after a plain byte", "a中bB", "a中"},
        {"the lead byte cleared", "a中b[12X", "ab"},
        {"the trail byte cleared", "a中b[23X", "ab"},
        {"a selection that ends inside a character", "a中文b[25X", "ab"},
        {"typing after the removal", "ab中中Bc12", "ab中c12"},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
            RunSteps(hEdit, c.steps);
            Expect(dlg, hEdit, c.kept);
        });
    }
}

TEST_F(SecureEditTest, RealBackspaceOverAChineseCharacterRemovesIt)
{
    WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
        FocusForInput(::GetParent(hEdit), hEdit);
        Xdotool(std::string("type --delay 60 ") + (const char*)u8"ab中中");
        Expect(dlg, hEdit, "ab中中");
        Xdotool("key BackSpace");
        Expect(dlg, hEdit, "ab中");
        Xdotool("type --delay 40 c12");
        Expect(dlg, hEdit, "ab中c12");
    });
}

// No paste reaches the edit, empty or not, by any of the toolkit's ways.
TEST_F(SecureEditTest, RealPastesReachNothingEmptyOrNot)
{
    struct CASE
    {
        const char* pszName;
        const char* pszTypedFirst;
        bool bMiddleButton;  // else Shift+Insert
    } cases[] = {
        {"Shift+Insert into the empty edit", "", false},
        {"middle button into the empty edit", "", true},
        {"Shift+Insert after typing", "ab", false},
        {"middle button after typing", "ab", true},
    };
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
            OnGui([] {
                gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "zz", -1);
                gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_PRIMARY), "yy", -1);
            });
            FocusForInput(::GetParent(hEdit), hEdit);
            std::string typed = c.pszTypedFirst;
            if (!typed.empty())
            {
                Xdotool("type --delay 40 " + typed);
                Expect(dlg, hEdit, typed);
            }
            if (c.bMiddleButton)
            {
                RECT rc = {};
                OnGui([&] { ::GetWindowRect(hEdit, &rc); });
                ASSERT_TRUE(XdoClickAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, 2));
            }
            else
                Xdotool("key shift+Insert");
            // The c typed after it shows that the paste has been handled, bringing nothing.
            Xdotool("key End");
            Xdotool("type c");
            Expect(dlg, hEdit, typed + "c");
        });
    }
}

// An input method commits several characters into the entry at once; they are all kept.
TEST_F(SecureEditTest, AnInputMethodsCommitOfSeveralCharactersIsKept)
{
    struct CASE
    {
        const char* pszName;
        std::string before;
        std::string kept;
    } cases[] = {{"into the empty edit", "", "中文"}, {"after typed text", "ab", "ab中文"}};
    for (const CASE& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
            SendChars(hEdit, c.before);
            Expect(dlg, hEdit, c.before);
            OnGui([&] {
                GtkWidget* w = (GtkWidget*)AfxGetWxWindow(hEdit)->GetHandle();
                ASSERT_TRUE(GTK_IS_ENTRY(w));
                gint pos = (gint)c.before.size();
                gtk_editable_insert_text(GTK_EDITABLE(w), (const char*)u8"中文", -1, &pos);
            });
            Expect(dlg, hEdit, c.kept);
        });
    }
}

TEST_F(SecureEditTest, RightClickShowsNoContextMenu)
{
    WithEdit([&](CTestLoginDlg& dlg, HWND hEdit) {
        FocusForInput(::GetParent(hEdit), hEdit);
        RECT rc = {};
        OnGui([&] { ::GetWindowRect(hEdit, &rc); });
        Xdotool("mousemove " + std::to_string((rc.left + rc.right) / 2) + " " + std::to_string((rc.top + rc.bottom) / 2));
        const int nBefore = MappedTopLevels();
        Xdotool("click 3");
        // A key typed after the click reaches the edit only when no menu took the keyboard.
        Xdotool("type q");
        Expect(dlg, hEdit, "q");
        EXPECT_EQ(MappedTopLevels(), nBefore);
        Xdotool("key Escape");
    });
}
}  // namespace

#include <X11/Xlib.h>

int MappedTopLevels()
{
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
        return -1;
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned int nChildren = 0;
    int nMapped = 0;
    if (XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &nChildren))
    {
        for (unsigned int i = 0; i < nChildren; ++i)
        {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(pDisplay, pChildren[i], &attributes) && attributes.map_state == IsViewable)
                ++nMapped;
        }
        XFree(pChildren);
    }
    XCloseDisplay(pDisplay);
    return nMapped;
}
