// Resume from suspend on Linux: the login manager's PrepareForSleep(false) on the bus given
// (the system bus in the program, a private bus in tests) runs the callback.
#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>

class ResumeWatcher : public QObject {
    Q_OBJECT
public:
    // Listens on `bus`; false from Listening() when the bus is not connected or the match
    // could not be added.
    ResumeWatcher(const QDBusConnection& bus, std::function<void()> onResume);
    bool Listening() const { return m_bListening; }

private slots:
    void OnPrepareForSleep(bool bStarting);

private:
    std::function<void()> m_onResume;
    bool m_bListening = false;
};
