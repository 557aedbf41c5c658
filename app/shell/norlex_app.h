// CNorlexApp: start-up of the program. It makes the hidden frame (which identifies the board and
// applies the stored clocks), its window (tray icon, fan drive), and hooks the desktop's exit
// signals and the resume notification to the frame.
#pragma once

#include <memory>

#include <QDBusConnection>

#include "app/framework/framework.h"

class CMainFrame;
class ExitSignals;
class ResumeWatcher;

class CNorlexApp {
public:
    CNorlexApp();
    ~CNorlexApp();

    // Nonzero to run the message loop. `bus` is where the resume notification comes from.
    BOOL InitInstance(bool bTrayAvailable, const QDBusConnection& bus);
    CMainFrame* Frame() const { return m_pFrame.get(); }

private:
    std::unique_ptr<CMainFrame> m_pFrame;
    std::unique_ptr<ExitSignals> m_pSignals;
    std::unique_ptr<ResumeWatcher> m_pResume;
};
