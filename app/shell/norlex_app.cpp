#include "app/shell/norlex_app.h"

#include <cstdio>

#include "app/shell/main_frame.h"

CNorlexApp::CNorlexApp() = default;
CNorlexApp::~CNorlexApp() = default;

BOOL CNorlexApp::InitInstance(bool bTrayAvailable) {
    if (!bTrayAvailable) {
        std::fprintf(stderr,
                     "zel: the desktop has no notification area; the main dialog stays open and "
                     "closing it ends the program\n");
    }
    // The session applies the stored clocks, or the main dialog opens on the first run.
    m_pFrame = std::make_unique<CMainFrame>(bTrayAvailable);
    m_pFrame->StartSession();
    if (!m_pFrame->LoadFrame()) {
        return FALSE;
    }
    AfxSetMainWnd(m_pFrame.get());
    m_pFrame->ShowWindow(SW_HIDE);
    if (!bTrayAvailable) {
        m_pFrame->ShowConfigDialog();
    }
    return TRUE;
}
