// SIGTERM, SIGINT and SIGHUP take the one way out, as the Qt back end turns them into the
// session's end on the GUI thread.
#include <QApplication>

#include <csignal>

#include "app/framework/qt/system_notices.h"
#include "tests/shell/clock_panel_fixture.h"
#include "tests/shell/exit_fixture.h"

namespace kesttest {
namespace {

TEST_F(ExitTest, TerminationSignalsTakeTheExitPath) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        if (m_frame->GetSafeHwnd() == nullptr) {
            CloseWindows();
            MakeFrame();
        }
        ExitSignals handlers;
        ASSERT_TRUE(handlers.Installed());
        ClearRequests();
        ASSERT_EQ(std::raise(sig), 0);
        for (int i = 0; i < 100 && !m_frame->ExitRequested(); ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_TRUE(m_frame->ExitRequested()) << sig;
        RunPostedEvents();
        EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr) << sig;
        EXPECT_EQ(Codes(), std::vector<uint32_t>{IOCTL_ALARMS_OFF}) << sig;
    }
}

// SIGTERM while the new clocks wait for confirmation: reverted before the exit path stores them.
TEST_F(ClockPanelTest, TerminationSignalDuringTheCountdownRevertsBeforeStoring) {
    ExitSignals handlers;  // to the main window, the frame
    ExpectExitRevertsBeforeStoring([] { std::raise(SIGTERM); });
}

}  // namespace
}  // namespace kesttest
