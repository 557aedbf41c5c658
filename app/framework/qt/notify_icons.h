// The Qt icon standing for a window's notification-area icon, for the back end's own helpers
// and tests: null when that window has none.
#pragma once

#include "app/framework/win32_api.h"

class QSystemTrayIcon;

QSystemTrayIcon* FindNotifyIcon(HWND hWnd, UINT uID);
