// SIGTERM, SIGINT and SIGHUP turned into a call on the GUI thread (through a pipe the handler
// writes to), so that logging out or Ctrl-C takes the program's own exit path.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

class ExitSignals : public QObject {
public:
    // Installs the handlers; false when the pipe or a handler could not be set up.
    explicit ExitSignals(std::function<void()> onSignal);
    ~ExitSignals() override;
    bool Installed() const { return m_bInstalled; }

private:
    void OnReadable();

    std::function<void()> m_onSignal;
    QSocketNotifier* m_pNotifier = nullptr;
    bool m_bInstalled = false;
};
