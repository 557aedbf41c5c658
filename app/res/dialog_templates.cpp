// The program's dialog templates. Rectangles are x, y, width, height in dialog units.
#include "app/framework/dialog_template.h"
#include "app/res/resource_ids.h"

#include <iterator>

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kModalDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

// Confirm-and-revert of new clocks.
const DialogItemTemplate kConfirmItems[] = {
    {IDOK, kClassButton, "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 105, 40, 50, 15, 0},
    {IDCANCEL, kClassButton, "Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 180, 40, 50, 15, 0},
    {IDC_CONFIRM_COUNTDOWN, kClassStatic, "", kChild | SS_LEFT, 0, 10, 40, 85, 15, 0},
    {IDC_CONFIRM_QUESTION, kClassStatic,
     "Your Settings has been changed, do you wang \r\nto keep the settings?", kChild | SS_LEFT, 0,
     79, 7, 171, 25, 0},
    {IDC_CONFIRM_PICTURE, kClassStatic, "", kChild | SS_BITMAP, 0, 6, 6, 58, 19, kBitmapConfirm},
};

// Hardware details.
const DialogItemTemplate kDetailsItems[] = {
    {IDC_DETAILS_ITEMS, kClassListBox, "",
     kChild | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 14, 100, 91, 36, 0},
    {IDC_DETAILS_ITEM_CAPTION, kClassStatic, "ITEM:", kChild | SS_LEFT, 0, 10, 87, 28, 9, 0},
    {IDC_DETAILS_CHART_AREA, kClassStatic, "", kChild | SS_GRAYRECT | SS_NOTIFY, 0, 129, 131, 204,
     49, 0},
    {IDC_DETAILS_TITLE, kClassStatic, "HARDWARE DETAILS", kChild | SS_RIGHT, 0, 221, 81, 135, 16,
     0},
    {IDC_DETAILS_DESCRIPTION_CAPTION, kClassStatic, "Description:", kChild | SS_LEFT, 0, 118, 95,
     48, 12, 0},
    {IDC_DETAILS_DESCRIPTION, kClassStatic, "", kChild | SS_LEFT, 0, 147, 104, 194, 25, 0},
    {IDC_DETAILS_HINT_ICON, kClassStatic, "", kChild | SS_ICON, 0, 132, 197, 20, 20, kIconHint},
    {IDC_DETAILS_HINT_TEXT, kClassStatic,
     "       Click  the hardware item you want to monitor in list box. Then you can see the "
     "current value and the recent changes from the curve chart.",
     kChild | SS_LEFT, 0, 153, 201, 187, 27, 0},
    {IDC_DETAILS_CURRENT, kClassStatic, "RPM", kChild | SS_CENTER, 0, 23, 154, 80, 15, 0},
    {IDC_STATIC, kClassStatic, "current value", kChild | SS_LEFT, 0, 14, 142, 53, 8, 0},
    {IDC_STATIC, kClassStatic, "safe range", kChild | SS_LEFT, 0, 14, 172, 53, 8, 0},
    {IDC_DETAILS_SAFE_RANGE, kClassStatic, "", kChild | SS_CENTER, 0, 22, 184, 80, 16, 0},
    {IDC_DETAILS_LABEL_BOTTOM, kClassStatic, "", kChild | SS_LEFT, 0, 333, 174, 23, 9, 0},
    {IDC_DETAILS_LABEL_MIDDLE, kClassStatic, "", kChild | SS_LEFT, 0, 333, 152, 23, 9, 0},
    {IDC_DETAILS_LABEL_TOP, kClassStatic, "", kChild | SS_LEFT, 0, 333, 128, 23, 9, 0},
    {IDC_DETAILS_STATUS, kClassStatic, "Item Value is SAFE now!", kChild | SS_LEFT, 0, 13, 200, 106,
     8, 0},
    {IDC_STATIC, kClassStatic, "Click Chart to see large scale", kChild | SS_LEFT, 0, 13, 210, 106,
     9, 0},
    {IDC_DETAILS_UNIT, kClassStatic, "( UNIT:  C )", kChild | SS_RIGHT, 0, 269, 181, 64, 8, 0},
    {IDC_BANNER, kClassStatic, "", kChild | SS_LEFT, 0, 1, 0, 357, 78, 0},
    {IDC_DETAILS_BEEP_TEST, kClassButton, "beep test", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 13,
     222, 97, 7, 0},
    {IDC_DETAILS_FAN_SLIDER, kClassTrackbar, "",
     kChild | TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP, 0, 179, 201, 136, 12, 0},
    {IDC_DETAILS_FAN_CAPTION, kClassStatic, "Fan Speed Adjustment", kChild | SS_LEFT, 0, 130, 189,
     80, 8, 0},
    {IDC_DETAILS_FASTEST, kClassStatic, "Fastest", kChild | SS_LEFT, 0, 317, 207, 30, 9, 0},
    {IDC_DETAILS_NOISELESS, kClassStatic, "Noiseless", kChild | SS_LEFT, 0, 145, 207, 33, 9, 0},
    {IDC_DETAILS_DRAG_HINT, kClassStatic, "Drag the slider to control fan speed manually.",
     kChild | SS_CENTER, 0, 152, 219, 177, 10, 0},
    {IDC_DETAILS_STOP_FAN, kClassButton, "Stop the Fan", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0,
     236, 190, 63, 7, 0},
    {IDC_DETAILS_FAN_AUTO, kClassButton, "Disable fan auto-control",
     kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 236, 190, 92, 7, 0},
};

// Large chart of one item.
const DialogItemTemplate kLargeChartItems[] = {
    {IDC_LARGE_CHART_AREA, kClassStatic, "", kChild | SS_BLACKRECT, 0, 3, 2, 110, 117, 0},
    {IDC_LARGE_CHART_LABEL_TOP, kClassStatic, "", kChild | SS_LEFT, 0, 113, 0, 21, 9, 0},
    {IDC_LARGE_CHART_LABEL_MIDDLE, kClassStatic, "", kChild | SS_LEFT, 0, 113, 57, 21, 9, 0},
    {IDC_LARGE_CHART_LABEL_BOTTOM, kClassStatic, "", kChild | SS_LEFT, 0, 113, 113, 21, 9, 0},
};

// The main dialog. The tab control comes first so that every other control lies on it; the
// group box comes before the monitor panel it frames.
const DialogItemTemplate kMainItems[] = {
    {IDC_MAIN_TABS, kClassTabControl, "", kChild | WS_TABSTOP, 0, 0, 0, 360, 264, 0},
    {IDC_BANNER, kClassStatic, "", kChild | SS_LEFT, 0, 1, 13, 357, 78, 0},
    {IDC_SYSTEM_INFO_TITLE, kClassStatic, "System Infomation", kChild | SS_LEFT, 0, 210, 95, 126,
     10, 0},
    {IDC_SYSTEM_INFO, kClassListBox, "",
     kChild | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0,
     212, 107, 141, 45, 0},
    {IDC_FEATURES_TEXT, kClassEdit, "",
     kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_BORDER, 0, 3, 96, 198,
     163, 0},
    {IDC_HELP_TEXT, kClassEdit, "",
     kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_BORDER, 0, 3, 96, 198,
     163, 0},
    {IDC_BOARD_PICTURE, kClassStatic, "", kChild | SS_LEFT, 0, 206, 154, 135, 105, 0},
    // Clock panel.
    {IDC_ENGINE_CAPTION, kClassStatic, "VPU SPEED", kChild | SS_LEFT, 0, 15, 103, 48, 8, 0},
    {IDC_ENGINE_SCALE, kClassStatic, "", kChild | SS_BITMAP, 0, 80, 101, 114, 3, kBitmapClockScale},
    {IDC_ENGINE_SLIDER, kClassTrackbar, "", kChild | TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP,
     0, 83, 106, 108, 12, 0},
    {IDC_ENGINE_MINUS, kClassStatic, "-", kChild | SS_LEFT, 0, 84, 115, 8, 8, 0},
    {IDC_ENGINE_PLUS, kClassStatic, "+", kChild | SS_LEFT, 0, 191, 115, 8, 8, 0},
    {IDC_ENGINE_BOX, kClassEdit, "", kChild | ES_CENTER | ES_READONLY | WS_BORDER, 0, 119, 120, 40,
     12, 0},
    {IDC_ENGINE_DEFAULT, kClassStatic, "default: 325MHz", kChild | SS_LEFT, 0, 9, 112, 56, 8, 0},
    {IDC_ENGINE_CURRENT, kClassStatic, "current:   325MHz", kChild | SS_LEFT, 0, 9, 122, 64, 8, 0},
    {IDC_MEMORY_CAPTION, kClassStatic, "MEMORY SPEED", kChild | SS_LEFT, 0, 7, 140, 80, 8, 0},
    {IDC_MEMORY_SCALE, kClassStatic, "", kChild | SS_BITMAP, 0, 80, 138, 114, 3, kBitmapClockScale},
    {IDC_MEMORY_SLIDER, kClassTrackbar, "", kChild | TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP,
     0, 82, 144, 108, 12, 0},
    {IDC_MEMORY_MINUS, kClassStatic, "-", kChild | SS_LEFT, 0, 84, 158, 8, 8, 0},
    {IDC_MEMORY_PLUS, kClassStatic, "+", kChild | SS_LEFT, 0, 190, 158, 8, 8, 0},
    {IDC_MEMORY_BOX, kClassEdit, "", kChild | ES_CENTER | ES_READONLY | WS_BORDER, 0, 118, 159, 40,
     12, 0},
    {IDC_MEMORY_DEFAULT, kClassStatic, "default: 622MHz", kChild | SS_LEFT, 0, 9, 149, 56, 8, 0},
    // As wide as the engine's twin: narrower, the system's text widths wrap the reading away.
    {IDC_MEMORY_CURRENT, kClassStatic, "current: 620MHz", kChild | SS_LEFT, 0, 9, 159, 64, 8, 0},
    {IDC_PRESET, kClassComboBox, "", kChild | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0,
     257, 155, 96, 41, 0},
    {IDC_APPLY, kClassButton, "&Apply", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 310, 169, 42, 12,
     0},
    // Monitor panel.
    {IDC_MONITOR_GROUP, kClassButton, "Hardware Monitor", kChild | BS_GROUPBOX, 0, 2, 183, 354, 77,
     0},
    {IDC_ENABLE_MONITOR, kClassButton, "Enable Hardware Monitor",
     kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 174, 95, 8, 0},
    {IDC_CUSTOM_FAN, kClassButton, "Custom Fan Speed", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0,
     117, 174, 80, 8, 0},
    {IDC_HEATSINK, kClassButton, "Using 3rd Party Heatsink", kChild | BS_AUTOCHECKBOX | WS_TABSTOP,
     0, 205, 174, 95, 8, 0},
    {IDC_FAN_SPEED_CAPTION, kClassStatic, "current fan speed", kChild | SS_LEFT, 0, 10, 193, 64, 8,
     0},
    {IDC_VPU_TEMP_CAPTION, kClassStatic, "current VPU temp", kChild | SS_LEFT, 0, 10, 213, 68, 8,
     0},
    {IDC_FAN_SPEED, kClassStatic, "", kChild | SS_LEFT, 0, 18, 204, 53, 10, 0},
    {IDC_VPU_TEMP, kClassStatic, "", kChild | SS_LEFT, 0, 19, 222, 53, 9, 0},
    {IDC_FAN_PICTURE, kClassStatic, "", kChild | SS_BITMAP, 0, 76, 202, 11, 11, kBitmapFan},
    {IDC_THERMOMETER_PICTURE, kClassStatic, "", kChild | SS_BITMAP, 0, 76, 219, 11, 11,
     kBitmapThermometer},
    {IDC_PANEL_CHART_AREA, kClassStatic, "", kChild | SS_BLACKRECT, 0, 117, 195, 224, 57, 0},
    {IDC_TEMP_LABEL_80, kClassStatic, "80C", kChild | SS_LEFT, 0, 342, 194, 13, 12, 0},
    {IDC_TEMP_LABEL_50, kClassStatic, "50C", kChild | SS_LEFT, 0, 342, 219, 13, 12, 0},
    {IDC_TEMP_LABEL_20, kClassStatic, "20C", kChild | SS_LEFT, 0, 342, 245, 13, 12, 0},
    {IDC_RPM_LABEL_7000, kClassStatic, "7000", kChild | SS_CENTER, 0, 95, 194, 20, 8, 0},
    {IDC_RPM_LABEL_3000, kClassStatic, "3000", kChild | SS_CENTER, 0, 95, 244, 20, 8, 0},
    {IDC_RPM_UNIT_TOP, kClassStatic, "(RPM)", kChild | SS_CENTER, 0, 94, 201, 21, 8, 0},
    {IDC_RPM_UNIT_BOTTOM, kClassStatic, "(RPM)", kChild | SS_CENTER, 0, 94, 251, 21, 8, 0},
    {IDC_DETAIL, kClassButton, "Detail", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 33, 235, 50, 14,
     0},
    {IDC_LOGO, kClassStatic, "", kChild | SS_BITMAP | WS_DISABLED, 0, 4, 240, 18, 17, kBitmapLogo},
};

// About box (no menu of the tray offers it).
const DialogItemTemplate kAboutItems[] = {
    {IDC_STATIC, kClassStatic, "", kChild | SS_ICON, 0, 11, 17, 20, 20, kIconProgram},
    {IDC_STATIC, kClassStatic, "ZEL Version 1.0", kChild | SS_LEFT, 0, 40, 10, 119, 8, 0},
    {IDC_STATIC, kClassStatic, "Pelagon Graphics Monitor for RADEON boards", kChild | SS_LEFT, 0,
     40, 25, 150, 8, 0},
    {IDOK, kClassButton, "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, 193, 7, 50, 14,
     0},
};

const DialogTemplate kTemplates[] = {
    {IDD_ABOUT, "ZEL", "Tahoma", 10, kModalDialog, 0, 250, 55, kAboutItems, std::size(kAboutItems)},
    {IDD_MAIN, "Pelagon Graphics Monitor", "Tahoma", 10,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE,
     0, 361, 265, kMainItems, std::size(kMainItems)},
    {IDD_CONFIRM_CLOCKS, "Pelagon System Monitor", "Tahoma", 10, kModalDialog, 0, 259, 65,
     kConfirmItems, std::size(kConfirmItems)},
    {IDD_HARDWARE_DETAILS, "Pelagon Graphics Monitor", "Tahoma", 10, kModalDialog | WS_VISIBLE, 0,
     359, 236, kDetailsItems, std::size(kDetailsItems)},
    {IDD_LARGE_CHART, "ZEL", "Tahoma", 10, kModalDialog, 0, 135, 125, kLargeChartItems,
     std::size(kLargeChartItems)},
};

// The window layer knows the program's templates as soon as the program is loaded (this file is
// linked as an object for that reason, like the artwork's resource file).
[[maybe_unused]] const bool kTemplatesSet =
    (SetProgramDialogTemplates(kTemplates, std::size(kTemplates)), true);

}  // namespace
