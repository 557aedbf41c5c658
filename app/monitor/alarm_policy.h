// How the two once-a-second monitors (the main panel and the hardware details dialog) interrupt
// the user: an item must stay unsafe for ten samples; the eleventh switches the chip's beeper
// on, shows two "ZEL WARNING" boxes and switches it off again. One unsafe episode interrupts the
// user once; one safe sample re-arms the alarm.
#pragma once

#include "app/framework/wnd.h"

inline constexpr const char* kAlarmCaption = "ZEL WARNING";

// The second box of each monitor.
extern const char* const kDetailsRestartText;
extern const char* const kPanelRestartText;

// One sample's alarm step. nAlarmTicks is the monitor's count of consecutive unsafe samples;
// pMonitorDlg the monitoring dialog, which owns the second box.
//
// The boxes run nested message loops, so samples of both monitors re-enter while they are open:
// the count is set to 11 before anything is shown, so that a re-entered sample cannot fire
// again. Once the first box is up, neither the count nor the dialog object is touched again: the
// dialog may be destroyed (and a modeless one deleted) while a box is open. Returns false when
// that happened, so that the caller leaves its window alone.
bool AlarmStep(int& nAlarmTicks, bool bSafe, const char* lpszWarning, const char* lpszRestartText,
               CWnd* pMonitorDlg);

// "beep test": the beeper sounds while the box is open; the standard limits are armed afterwards.
void BeepTest(CWnd* pOwner);
