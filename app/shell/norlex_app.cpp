#include "app/shell/norlex_app.h"

#include <cstdio>

#include "app/shell/exit_signals.h"
#include "app/shell/main_frame.h"
#include "app/shell/resume_watcher.h"

CNorlexApp::CNorlexApp() = default;
CNorlexApp::~CNorlexApp() = default;

BOOL CNorlexApp::InitInstance(bool bTrayAvailable, const QDBusConnection& bus) {
    // From the start: a signal while a start-up box is open closes the box, then its fatal
    // path (or the exit path, once the frame exists) ends the program.
    m_pSignals = std::make_unique<ExitSignals>([this]() {
        if (m_pFrame != nullptr && m_pFrame->GetSafeHwnd() != nullptr) {
            m_pFrame->RequestExit();
        } else {
            AfxBeginClosing(nullptr, 0);
        }
    });
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

    CMainFrame* frame = m_pFrame.get();
    m_pResume = std::make_unique<ResumeWatcher>(bus, [frame]() { frame->OnSystemResumed(); });
    if (!m_pResume->Listening()) {
        std::fprintf(stderr,
                     "zel: no system bus; a resume from suspend will not re-apply the clocks and "
                     "fan settings\n");
    }
    return TRUE;
}
