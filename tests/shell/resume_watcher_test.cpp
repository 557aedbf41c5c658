// Resume on the board: the login manager's sleep signals on a private message bus reach the
// frame, the program's main window, as the resume broadcast.
#include <gtest/gtest.h>

#include <QAction>

#include "app/framework/qt/system_notices.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/private_bus.h"

namespace kesttest {
namespace {

// A lone "going to sleep" re-applies nothing: clocks changed behind the program's back stay as
// they are until the wake-up puts the stored ones back.
class ResumeOnTheBoard : public kesttest::ShellTest {};

TEST_F(ResumeOnTheBoard, NothingIsReappliedUntilTheWakeUp) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(400, 350));
    MakeFrame();
    Login1 login;
    ASSERT_TRUE(login.Up());
    ResumeWatcher watcher(login.watcher);  // to the main window, the frame
    ASSERT_TRUE(watcher.Listening());
    // Signals from one sender arrive in order: once a later marker signal is seen, the sleep
    // signal before it has been handled.
    QAction marker;
    int markers = 0;
    QObject::connect(&marker, &QAction::triggered, [&markers]() { ++markers; });
    ASSERT_TRUE(login.watcher.connect(QString(), QStringLiteral("/marker"),
                                      QStringLiteral("org.example.Marker"),
                                      QStringLiteral("Marker"), &marker, SLOT(trigger())));

    const uint32_t changed = (PllWord() & 0xFF0000FFu) | 0x00505000u;
    WriteClockDividers(changed);
    ClearRequests();
    EmitPrepareForSleep(login.login1, true);
    ASSERT_TRUE(login.login1.send(QDBusMessage::createSignal(QStringLiteral("/marker"),
                                                             QStringLiteral("org.example.Marker"),
                                                             QStringLiteral("Marker"))));
    ASSERT_TRUE(PumpUntil([&]() { return markers > 0; }));
    EXPECT_EQ(PllWord(), changed);
    EXPECT_TRUE(m_transport.requests.empty());

    EmitPrepareForSleep(login.login1, false);
    ASSERT_TRUE(PumpUntil([&]() { return PllWord() != changed; }));
    EXPECT_NEAR(m_machine->EngineMhz(), 400, 3.0);
    EXPECT_NEAR(m_machine->MemoryMhz(), 350, 3.0);
}

}  // namespace
}  // namespace kesttest
