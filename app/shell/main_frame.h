// CMainFrame: the program's hidden main window. It identifies the board, puts the stored clocks
// and fan drive back, owns the tray icon and the main dialog, runs the fan guard, handles resume
// and is the one way out of the program.
#pragma once

#include <stdint.h>

#include "app/framework/framework.h"
#include "app/framework/input_state.h"
#include "app/framework/win32_api.h"
#include "app/res/resource_ids.h"
#include "app/shell/board_session.h"

class CMonitorDlg;

// Messages and commands of the frame.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 220;  // 1244
inline constexpr UINT kTrayIconId = kIconProgram;
inline constexpr UINT_PTR kFanGuardTimer = 1;
inline constexpr UINT kFanGuardPeriodMs = 30000;

class CMainFrame : public CWnd {
public:
    // bTrayAvailable false: no notification area, so the main dialog stands in for the tray and
    // closing it exits.
    explicit CMainFrame(bool bTrayAvailable);
    ~CMainFrame() override;

    // The board session starts before the window: identifies the board and applies the stored
    // clocks, or opens the main dialog on the first run.
    void StartSession();
    // The hidden window: a zero-sized tool window just outside the screen, never shown.
    BOOL LoadFrame();

    void ShowConfigDialog();
    void HideConfigDialog();
    void StartFanGuard();
    void StopFanGuard();
    void ApplyFanSettings();
    void OnFanGuardTimer(UINT_PTR nIDEvent);

    // "&Exit", a signal or closing the dialog without a tray: ends every modal loop first, then,
    // once they have returned, destroys the dialog and the frame. Runs once.
    void RequestExit();
    bool ExitRequested() const { return m_bExitRequested; }
    // Called by the resume watcher: the resume steps, as the power broadcast runs them.
    void OnSystemResumed();

    bool HasTray() const { return m_bTrayAvailable; }

    NOTIFYICONDATAA m_nid;  // filled at window creation, reused for removal
    HICON m_hTrayIcon;
    CMonitorDlg* m_pConfigDlg;
    UINT_PTR m_nFanGuardTimer;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

public:
    int OnCreate();
    void OnDestroy();
    void OnShowConfig();
    void OnAppExit();
    void OnAppAbout();
    void OnTimer(UINT_PTR nIDEvent) { OnFanGuardTimer(nIDEvent); }
    // The session ends (log-off, or a termination signal): the program's exit path.
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);

private:
    BoardSession m_session;
    bool m_bTrayAvailable;
    bool m_bExitRequested = false;

    DECLARE_MESSAGE_MAP()
};
