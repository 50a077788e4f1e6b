// The file dialog on the GUI thread: a real chooser answered with keys, while calls that other
// threads marshal to the GUI thread are still served.
#include "WorkersEnvironment.h"

#include <thread>
#include "CFileDialog.h"
#include "GuiWait.h"
#include "NetTestUtil.h"
#include "TestFiles.h"

namespace
{
TEST(FileDialogTest, ChosenOnTheGuiThreadWhileOtherThreadsAreServed)
{
    CWorkerHost host;
    ASSERT_TRUE(host.CreateHost());
    const std::string strPath = WorkFolder() + "/chosen file.xls";
    WriteFile(strPath, "x");

    std::atomic<LRESULT> nText{ -1 };
    std::atomic<bool> bTyped{ false };
    std::atomic<bool> bDone{ false };
    std::thread other([&] {
        // Sent while the GUI thread runs the chooser.
        WaitForTopLevel("打开");
        nText = ::SendMessage(host.GetSafeHwnd(), WM_GETTEXTLENGTH, 0, 0);
        bTyped = AnswerFileChooser(strPath);
        bDone = true;
    });
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Data Files (*.xls)| *.xls||");
    INT_PTR nResult = dlg.DoModal();
    // The other thread's window calls need the GUI thread until it is done.
    WaitFor([&] { return bDone.load(); }, 60000);
    other.join();
    EXPECT_TRUE(bTyped);
    EXPECT_EQ(6, nText.load());
    EXPECT_EQ(IDOK, nResult);
    EXPECT_STREQ(strPath.c_str(), dlg.GetPathName());
    host.DestroyWindow();
}

TEST(FileDialogTest, EscapeCancels)
{
    std::atomic<bool> bDone{ false };
    std::thread other([&] {
        AnswerFileChooser("");
        bDone = true;
    });
    CFileDialog dlg(TRUE);
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    WaitFor([&] { return bDone.load(); }, 60000);
    other.join();
    EXPECT_STREQ("", dlg.GetPathName());
}
}  // namespace
