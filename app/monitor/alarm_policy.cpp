#include "app/monitor/alarm_policy.h"

#include "app/device/device_client.h"
#include "app/device/settings.h"
#include "app/framework/app.h"
#include "protocol/ioctl.h"

namespace {

constexpr int kTicksBeforeAlarm = 10;
constexpr UINT kFirstBoxStyle = MB_OK | MB_ICONHAND | MB_SETFOREGROUND;
constexpr UINT kSecondBoxStyle = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND;

// A reserved domain: no real mailbox is named.
#define ZEL_SUPPORT_ADDRESS "support@pelagon.example"

// The dialog still has its window, and the window still belongs to it. Compares pointers only:
// the object may be gone.
bool StillOpen(HWND hWnd, const CWnd* pDlg) {
    return ::IsWindow(hWnd) && CWnd::FromHandle(hWnd) == pDlg;
}

}  // namespace

const char* const kDetailsRestartText =
    "Warning: The hardware item value go beyond safe range! If you reach this window, please "
    "click \"OK\" and restart your computer. If that does not resolve the problem, please send "
    "email to " ZEL_SUPPORT_ADDRESS " for further assistance.";

const char* const kPanelRestartText =
    "Warning: If you reach this window, please click \"OK\" and restart your computer. If that "
    "does not resolve the problem, please send email to " ZEL_SUPPORT_ADDRESS
    " for further assistance.";

bool AlarmStep(int& nAlarmTicks, bool bSafe, const char* lpszWarning, const char* lpszRestartText,
               CWnd* pMonitorDlg) {
    if (bSafe) {
        nAlarmTicks = 0;
        return true;
    }
    if (nAlarmTicks != kTicksBeforeAlarm) {
        ++nAlarmTicks;
        return true;
    }
    nAlarmTicks = kTicksBeforeAlarm + 1;
    const HWND window = pMonitorDlg != nullptr ? pMonitorDlg->GetSafeHwnd() : nullptr;

    QueryDriverReading(IOCTL_ALARMS_ON);
    CWnd* pForeground = CWnd::GetForegroundWindow();
    ::MessageBox(pForeground != nullptr ? pForeground->GetSafeHwnd() : nullptr, lpszWarning,
                 kAlarmCaption, kFirstBoxStyle);
    // A dialog destroyed meanwhile gets no second box; the beeper still goes off.
    const bool bOpen = StillOpen(window, pMonitorDlg);
    if (bOpen) {
        ::MessageBox(window, lpszRestartText, kAlarmCaption, kSecondBoxStyle);
    }
    QueryDriverReading(IOCTL_ALARMS_OFF);
    return bOpen && StillOpen(window, pMonitorDlg);
}

void BeepTest(CWnd* pOwner) {
    QueryDriverReading(IOCTL_ALARMS_ON);
    ::MessageBox(pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr, "beep! beep! beep!",
                 kAlarmCaption, MB_OK | MB_ICONEXCLAMATION);
    QueryDriverReading(IOCTL_ALARMS_OFF);
    ApplyAlarmLimits();
}
