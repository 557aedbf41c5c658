// The notification-area icon as the Qt back end shows it: a QSystemTrayIcon per frame with the
// program's tip, there from the frame's start and still there once the main dialog has closed.
#include <QSystemTrayIcon>

#include "app/framework/qt/notify_icons.h"
#include "tests/shell/shell_fixture.h"

namespace kesttest {
namespace {

// The frame's icon as the desktop shows it; null when none.
QSystemTrayIcon* TrayIconOf(const CMainFrame& frame) {
    return FindNotifyIcon(frame.GetSafeHwnd(), kTrayIconId);
}

using TrayIconTest = ShellTest;

TEST_F(TrayIconTest, EachFrameShowsTheProgramsIconWithItsTip) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(380, 340));
    MakeFrame();
    ASSERT_NE(TrayIconOf(*m_frame), nullptr);
    EXPECT_EQ(TrayIconOf(*m_frame)->toolTip(), "Kest Program");
    // A second instance knows nothing of the first and shows its own.
    CMainFrame second(true);
    second.StartSession();
    ASSERT_TRUE(second.LoadFrame());
    ASSERT_NE(TrayIconOf(second), nullptr);
    EXPECT_EQ(TrayIconOf(second)->toolTip(), "Kest Program");
    second.DestroyWindow();
}

TEST_F(TrayIconTest, TheIconStaysWhenTheMainDialogCloses) {
    Load("9700pro");
    m_dir.Write("kest.txt", Le(325, 311));
    MakeFrame();
    m_frame->ShowConfigDialog();
    ASSERT_NE(m_frame->m_pConfigDlg, nullptr);
    m_frame->m_pConfigDlg->SendMessage(WM_CLOSE);
    RunPostedEvents();
    EXPECT_EQ(m_frame->m_pConfigDlg, nullptr);
    EXPECT_NE(TrayIconOf(*m_frame), nullptr);
}

}  // namespace
}  // namespace kesttest
