// Resume notification through a private message bus whose second connection owns the login
// manager's name, as logind does on the system bus.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <string>

#include "app/shell/resume_watcher.h"
#include "tests/shell/shell_fixture.h"

namespace {

class PrivateBus {
public:
    PrivateBus() {
        std::FILE* p = popen(
            KEST_DBUS_DAEMON " --session --fork --nopidfile --print-address=1 --print-pid=1", "r");
        if (p == nullptr) {
            return;
        }
        char line[512];
        if (std::fgets(line, sizeof line, p) != nullptr) {
            m_address = QString::fromLocal8Bit(line).trimmed();
        }
        if (std::fgets(line, sizeof line, p) != nullptr) {
            m_pid = std::atoi(line);
        }
        pclose(p);
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
        QDBusConnection::disconnectFromBus(QStringLiteral("login1"));
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
        }
    }
    QDBusConnection Connect(const QString& name) const {
        return QDBusConnection::connectToBus(m_address, name);
    }
    bool Up() const { return !m_address.isEmpty() && m_pid > 0; }

private:
    QString m_address;
    int m_pid = -1;
};

// Delivers bus traffic until `done` holds; the bound only stops a broken bus from hanging the
// test (no timer of the program is waited for).
template <typename Pred>
bool PumpUntil(Pred done) {
    return QTest::qWaitFor(done, 10000);
}

// A login manager on a private bus, and a watcher connection that has seen it.
struct Login1 {
    PrivateBus bus;
    QDBusConnection login1 = bus.Connect(QStringLiteral("login1"));
    QDBusConnection watcher = bus.Connect(QStringLiteral("watcher"));

    bool Up() {
        return bus.Up() && login1.isConnected() &&
               login1.registerService(QStringLiteral("org.freedesktop.login1")) && PumpUntil([&]() {
                   return watcher.interface()
                       ->isServiceRegistered(QStringLiteral("org.freedesktop.login1"))
                       .value();
               });
    }
};

void EmitPrepareForSleep(QDBusConnection& login1, bool starting) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << starting;
    ASSERT_TRUE(login1.send(signal));
}

TEST(ResumeWatcher, RunsOnTheEndOfSleepOnly) {
    PrivateBus bus;
    ASSERT_TRUE(bus.Up());
    QDBusConnection login1 = bus.Connect(QStringLiteral("login1"));
    ASSERT_TRUE(login1.isConnected());
    ASSERT_TRUE(login1.registerService(QStringLiteral("org.freedesktop.login1")));
    int resumes = 0;
    ResumeWatcher watcher(bus.Connect(QStringLiteral("watcher")), [&resumes]() { ++resumes; });
    ASSERT_TRUE(watcher.Listening());
    // Let the match rule reach the bus before the first signal.
    QDBusConnection watcherBus = QDBusConnection(QStringLiteral("watcher"));
    ASSERT_TRUE(PumpUntil([&]() {
        return watcherBus.interface()
            ->isServiceRegistered(QStringLiteral("org.freedesktop.login1"))
            .value();
    }));
    EmitPrepareForSleep(login1, true);
    EmitPrepareForSleep(login1, false);
    ASSERT_TRUE(PumpUntil([&]() { return resumes > 0; }));
    EmitPrepareForSleep(login1, true);
    EmitPrepareForSleep(login1, false);
    ASSERT_TRUE(PumpUntil([&]() { return resumes > 1; }));
    EXPECT_EQ(resumes, 2);
}

TEST(ResumeWatcher, WithoutABusItNeverListens) {
    int resumes = 0;
    ResumeWatcher watcher(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                        QStringLiteral("none")),
                          [&resumes]() { ++resumes; });
    EXPECT_FALSE(watcher.Listening());
    QDBusConnection::disconnectFromBus(QStringLiteral("none"));
}

// A lone "going to sleep" re-applies nothing: clocks changed behind the program's back stay as
// they are until the wake-up puts the stored ones back.
class ResumeOnTheBoard : public kesttest::ShellTest {};

TEST_F(ResumeOnTheBoard, NothingIsReappliedUntilTheWakeUp) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(400, 350));
    MakeFrame();
    Login1 login;
    ASSERT_TRUE(login.Up());
    CMainFrame* frame = m_frame.get();
    ResumeWatcher watcher(login.watcher, [frame]() { frame->OnSystemResumed(); });
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
