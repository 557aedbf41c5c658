// A private message bus whose second connection owns the login manager's name, as logind does
// on the system bus, for tests of what the back end hears from it.
#pragma once

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace kesttest {

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
inline bool PumpUntil(Pred done) {
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

inline void EmitPrepareForSleep(QDBusConnection& login1, bool starting) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << starting;
    ASSERT_TRUE(login1.send(signal));
}

}  // namespace kesttest
