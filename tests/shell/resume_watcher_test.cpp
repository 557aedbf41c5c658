// Resume notification through a private message bus whose second connection owns the login
// manager's name, as logind does on the system bus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <string>

#include "app/shell/resume_watcher.h"

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

}  // namespace
