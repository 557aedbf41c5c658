// CNorlexApp: start-up of the program. It makes the hidden frame (which identifies the board and
// applies the stored clocks) and its window (tray icon, fan drive), which becomes the main window:
// the one the system's notices reach (the session's end, resume from suspend).
#pragma once

#include <memory>

#include "app/framework/framework.h"

class CMainFrame;

class CNorlexApp {
public:
    CNorlexApp();
    ~CNorlexApp();

    // Nonzero to run the message loop.
    BOOL InitInstance(bool bTrayAvailable);
    CMainFrame* Frame() const { return m_pFrame.get(); }

private:
    std::unique_ptr<CMainFrame> m_pFrame;
};
