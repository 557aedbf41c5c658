#include "app/shell/main_frame.h"

#include <cstring>

#include "app/device/process_state.h"
#include "app/shell/about_dlg.h"
#include "app/shell/monitor_dlg.h"
#include "app/shell/ui_constants.h"

BEGIN_MESSAGE_MAP(CMainFrame, CWnd)
ON_COMMAND(ID_SHOW_CONFIG, OnShowConfig)
ON_COMMAND(ID_APP_EXIT_TRAY, OnAppExit)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_WM_DESTROY()
ON_WM_CREATE()
ON_WM_TIMER()
ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

CMainFrame::CMainFrame(bool bTrayAvailable)
    : m_nid{},
      m_hTrayIcon(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(kIconProgram))),
      m_pConfigDlg(nullptr),
      m_nFanGuardTimer(0),
      m_bTrayAvailable(bTrayAvailable) {}

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
    const LONG cx = GetSystemMetrics(SM_CXSCREEN);
    const LONG cy = GetSystemMetrics(SM_CYSCREEN);
    const RECT rect{cx, cy, cx, cy};
    return CreateEx(WS_EX_TOOLWINDOW, nullptr, "ZEL", WS_POPUP, rect, nullptr, 0);
}

int CMainFrame::OnCreate() {
    if (CWnd::OnCreate() == -1) {
        return -1;
    }
    // A first-run dialog opened during construction had no owner yet: the frame takes it, so
    // that the exit path destroys it (and its destroy step runs) like any other.
    if (m_pConfigDlg != nullptr && m_pConfigDlg->GetSafeHwnd() != nullptr &&
        m_pConfigDlg->GetOwner() == nullptr) {
        m_pConfigDlg->SetOwner(this);
    }
    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = GetSafeHwnd();
    m_nid.uID = kTrayIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = kTrayCallbackMessage;
    m_nid.hIcon = m_hTrayIcon;
    std::strcpy(m_nid.szTip, "Kest Program");
    if (m_bTrayAvailable) {
        Shell_NotifyIconA(NIM_ADD, &m_nid);
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
            HMENU hMenu = LoadMenu(AfxGetInstanceHandle(), MAKEINTRESOURCE(kMenuTray));
            if (hMenu != nullptr) {
                if (HMENU hPopup = GetSubMenu(hMenu, 0); hPopup != nullptr) {
                    POINT pt{};
                    GetCursorPos(&pt);
                    TrackPopupMenu(hPopup, TPM_LEFTALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0,
                                   GetSafeHwnd(), nullptr);
                }
                DestroyMenu(hMenu);
            }
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

LRESULT CMainFrame::OnQueryEndSession(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return TRUE;
}

LRESULT CMainFrame::OnEndSession(WPARAM wParam, LPARAM /*lParam*/) {
    if (wParam != FALSE) {
        RequestExit();
    }
    return 0;
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
    Shell_NotifyIconA(NIM_DELETE, &m_nid);
    CWnd::OnDestroy();
    if (AfxGetMainWnd() == this) {
        AfxSetMainWnd(nullptr);
        AfxPostQuitMessage(0);
    }
}

void CMainFrame::PostNcDestroy() {
    m_pConfigDlg = nullptr;
}
