// What the system tells the program, delivered as the messages a Windows program gets, to the
// application's main window:
// - SIGTERM, SIGINT and SIGHUP, and the desktop session's end: WM_QUERYENDSESSION, then
//   WM_ENDSESSION with wParam TRUE, as at log-off (AfxEndSession);
// - the login manager's PrepareForSleep(false), the end of a sleep: WM_POWERBROADCAST with
//   PBT_APMRESUMESUSPEND.
#pragma once

#include <QDBusConnection>
#include <QObject>

class QSocketNotifier;

// The session ends: the main window is asked and told. Without a main window (still starting)
// the modal loops end, so that a start-up box closes and its own path ends the program.
void AfxEndSession();

// The termination signals, turned into AfxEndSession on the GUI thread (through a pipe the
// handler writes to).
class ExitSignals : public QObject {
public:
    ExitSignals();
    ~ExitSignals() override;
    // False when the pipe or a handler could not be set up.
    bool Installed() const { return m_bInstalled; }

private:
    void OnReadable();

    QSocketNotifier* m_pNotifier = nullptr;
    bool m_bInstalled = false;
};

// Resume from suspend: listens on `bus` (the system bus in the program, a private bus in tests).
class ResumeWatcher : public QObject {
    Q_OBJECT
public:
    explicit ResumeWatcher(const QDBusConnection& bus);
    // False when the bus is not connected or the match could not be added.
    bool Listening() const { return m_bListening; }

private slots:
    void OnPrepareForSleep(bool bStarting);

private:
    bool m_bListening = false;
};
