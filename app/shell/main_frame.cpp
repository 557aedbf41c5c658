#include "app/shell/main_frame.h"

#include "app/framework/wnd_internal.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/device/process_state.h"
#include "app/shell/about_dlg.h"
#include "app/shell/monitor_dlg.h"
#include "app/shell/ui_constants.h"
#include "app/shell/tray_icon.h"

BEGIN_MESSAGE_MAP(CMainFrame, CWnd)
ON_COMMAND(ID_SHOW_CONFIG, OnShowConfig)
ON_COMMAND(ID_APP_EXIT_TRAY, OnAppExit)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_WM_DESTROY()
ON_WM_CREATE()
ON_WM_TIMER()
END_MESSAGE_MAP()

CMainFrame::CMainFrame(bool bTrayAvailable)
    : m_pConfigDlg(nullptr), m_nFanGuardTimer(0), m_bTrayAvailable(bTrayAvailable) {}

CMainFrame::~CMainFrame() {
    if (GetSafeHwnd() != nullptr) {
        DestroyWindow();
    }
}

void CMainFrame::StartSession() {
    if (m_session.Start() == BoardSession::Clocks::kNoFile) {
        ShowConfigDialog();
    }
}

BOOL CMainFrame::LoadFrame() {
    // Zero-sized, just outside the bottom-right corner of the screen, no taskbar button.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen != nullptr ? screen->size() : QSize(0, 0);
    const RECT rect{size.width(), size.height(), size.width(), size.height()};
    if (!CreateEx(WS_EX_TOOLWINDOW, nullptr, "ZEL", WS_POPUP, rect, nullptr, 0)) {
        return FALSE;
    }
    WidgetOf(m_hWnd)->setWindowFlag(Qt::Tool, true);
    return TRUE;
}

int CMainFrame::OnCreate() {
    if (CWnd::OnCreate() == -1) {
        return -1;
    }
    // A first-run dialog opened during construction had no owner yet: the frame takes it, so
    // that the exit path destroys it (and its destroy step runs) like any other.
    if (m_pConfigDlg != nullptr && m_pConfigDlg->GetSafeHwnd() != nullptr &&
        WidgetOf(m_pConfigDlg->GetSafeHwnd())->parentWidget() == nullptr) {
        QWidget* dlg = WidgetOf(m_pConfigDlg->GetSafeHwnd());
        const bool visible = dlg->isVisible();
        dlg->setParent(WidgetOf(m_hWnd), dlg->windowFlags());
        if (visible) {
            dlg->show();
        }
    }
    m_pTray = std::make_unique<TrayIcon>(this, kTrayCallbackMessage, kTrayIconId, kIconProgram,
                                         "Kest Program");
    if (m_bTrayAvailable) {
        m_pTray->Add();
    }
    ApplyFanSettings();
    return 0;
}

void CMainFrame::ApplyFanSettings() {
    if (m_session.ApplyFanSettings()) {
        StartFanGuard();
    }
}

void CMainFrame::StartFanGuard() {
    m_nFanGuardTimer = SetTimer(kFanGuardTimer, kFanGuardPeriodMs, nullptr);
}

void CMainFrame::StopFanGuard() {
    KillTimer(m_nFanGuardTimer);
}

void CMainFrame::OnFanGuardTimer(UINT_PTR /*nIDEvent*/) {
    if (m_session.CheckFanGuard()) {
        StopFanGuard();
    }
    Default();
}

void CMainFrame::ShowConfigDialog() {
    if (m_pConfigDlg != nullptr) {
        m_pConfigDlg->ShowWindow(SW_SHOWNORMAL);
    } else {
        auto* dlg = new CMonitorDlg(nullptr);
        dlg->m_pFrame = this;
        m_pConfigDlg = dlg;
        if (!dlg->Create(CMonitorDlg::IDD, nullptr)) {
            m_pConfigDlg = nullptr;
            delete dlg;
            return;
        }
        dlg->ShowWindow(SW_SHOWNORMAL);
    }
    m_pConfigDlg->SetForegroundWindow();
    g_bConfigShown = 1;
}

void CMainFrame::HideConfigDialog() {
    if (m_pConfigDlg != nullptr) {
        m_pConfigDlg->ShowWindow(SW_HIDE);
    }
    g_bConfigShown = 0;
}

void CMainFrame::OnShowConfig() {
    if (g_bConfigShown == 0) {
        ShowConfigDialog();
    }
    if (m_pConfigDlg != nullptr) {
        m_pConfigDlg->SetForegroundWindow();
        m_pConfigDlg->ShowWindow(SW_SHOWNORMAL);
    }
}

LRESULT CMainFrame::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayCallbackMessage) {
        if (lParam == WM_LBUTTONDBLCLK) {
            if (m_pConfigDlg != nullptr) {
                m_pConfigDlg->SetForegroundWindow();
            }
            if (g_bConfigShown == 0) {
                ShowConfigDialog();
            } else {
                HideConfigDialog();
            }
        } else if (lParam == WM_RBUTTONDOWN) {
            m_pTray->TrackPopupMenu(QCursor::pos());
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_POWERBROADCAST && wParam == PBT_APMRESUMESUSPEND) {
        if (m_session.Resume() == BoardSession::Clocks::kNoFile) {
            ShowConfigDialog();
        }
        ApplyFanSettings();
        const int index = COLOR_BTNFACE;
        const COLORREF colour = kDialogButtonFace;
        SetSysColors(1, &index, &colour);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CMainFrame::OnSystemResumed() {
    SendMessage(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
}

void CMainFrame::OnAppExit() {
    RequestExit();
}

void CMainFrame::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CMainFrame::RequestExit() {
    if (m_bExitRequested) {
        return;
    }
    m_bExitRequested = true;
    // Message boxes and dialogs running modal loops end as if closed or cancelled; the frame
    // closes once their callers have returned, so nothing they use is deleted under them.
    AfxBeginClosing(this, WM_CLOSE);
}

void CMainFrame::OnDestroy() {
    m_session.End();
    if (m_pTray) {
        m_pTray->Delete();
    }
    CWnd::OnDestroy();
    if (AfxGetMainWnd() == this) {
        AfxSetMainWnd(nullptr);
        AfxPostQuitMessage(0);
    }
}

void CMainFrame::PostNcDestroy() {
    m_pConfigDlg = nullptr;
}
