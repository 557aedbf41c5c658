// What the system tells the program reaches its main window as the messages a Windows program
// gets: the end of a sleep as WM_POWERBROADCAST, a termination signal as the session's end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <vector>

#include "app/framework/framework.h"
#include "app/framework/qt/app_qt.h"
#include "app/framework/qt/system_notices.h"
#include "tests/support/private_bus.h"

namespace kesttest {
namespace {

struct Message {
    UINT message;
    WPARAM wParam;
    bool operator==(const Message&) const = default;
};

// A main window that writes down the system's messages it receives.
class MainWindow : public CWnd {
public:
    MainWindow() {
        EXPECT_TRUE(CreateEx(0, nullptr, "main", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
        AfxSetMainWnd(this);
    }
    ~MainWindow() override {
        AfxSetMainWnd(nullptr);
        DestroyWindow();
    }
    std::vector<Message> received;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_POWERBROADCAST || message == WM_QUERYENDSESSION ||
            message == WM_ENDSESSION) {
            received.push_back(Message{message, wParam});
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

const std::vector<Message> kResume = {{WM_POWERBROADCAST, PBT_APMRESUMESUSPEND}};
const std::vector<Message> kSessionEnd = {{WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, TRUE}};

TEST(ResumeWatcher, TheEndOfSleepOnlyIsAResumeBroadcast) {
    Login1 login;
    ASSERT_TRUE(login.Up());
    MainWindow main;
    ResumeWatcher watcher(login.watcher);
    ASSERT_TRUE(watcher.Listening());
    EmitPrepareForSleep(login.login1, true);
    EmitPrepareForSleep(login.login1, false);
    ASSERT_TRUE(PumpUntil([&]() { return !main.received.empty(); }));
    EmitPrepareForSleep(login.login1, true);
    EmitPrepareForSleep(login.login1, false);
    ASSERT_TRUE(PumpUntil([&]() { return main.received.size() > 1; }));
    EXPECT_EQ(main.received, (std::vector<Message>{kResume[0], kResume[0]}));
}

TEST(ResumeWatcher, WithoutABusItNeverListens) {
    ResumeWatcher watcher(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                        QStringLiteral("none")));
    EXPECT_FALSE(watcher.Listening());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

TEST(ExitSignals, EachEndsTheSessionOfTheMainWindow) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        MainWindow main;
        ExitSignals handlers;
        ASSERT_TRUE(handlers.Installed());
        ASSERT_EQ(std::raise(sig), 0);
        for (int i = 0; i < 100 && main.received.size() < kSessionEnd.size(); ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_EQ(main.received, kSessionEnd) << sig;
    }
}

// Still starting, with no main window: a box that is open closes, so its own path goes on.
TEST(ExitSignals, BeforeTheMainWindowTheOpenBoxCloses) {
    QtMessageBoxService realBoxes;
    SetMessageBoxService(&realBoxes);
    QTimer::singleShot(0, []() { AfxEndSession(); });
    EXPECT_EQ(ShowMessageBox("start-up question", "ZEL", MB_OKCANCEL), IDCANCEL);
    QApplication::processEvents();
    EXPECT_FALSE(AfxIsClosing());
    SetMessageBoxService(nullptr);
}

}  // namespace
}  // namespace kesttest
