// Ids of the program's resources: dialogs and their controls, pictures, menus and commands.
//
// The pictures. Each lives in the Qt resource file artwork.qrc as
// ":/res/<id>.svg" (for example ":/res/157.svg"), drawn at the pixel size given here.
#pragma once

constexpr int kIconProgram = 128;             // tray and program icon, 32 x 32
constexpr int kBitmapConfirm = 143;           // confirm dialog decoration, 102 x 31
constexpr int kBitmapClockScale = 147;        // strip over each clock slider, 200 x 5
constexpr int kBitmapBoard9700 = 156;         // RADEON 9700 PRO board, 236 x 210
constexpr int kBitmapBanner = 157;            // title over a waveform, 625 x 155
constexpr int kBitmapFan = 162;               // beside the fan speed, 19 x 18
constexpr int kBitmapThermometer = 163;       // beside the VPU temperature, 19 x 18
constexpr int kIconHint = 164;                // details dialog hint icon, 32 x 32
constexpr int kBitmapBoard9500 = 169;         // RADEON 9500 PRO board, 239 x 199
constexpr int kBitmapBoard9200 = 173;         // RADEON 9200 board, 225 x 211
constexpr int kBitmapBoard9600And9800 = 176;  // RADEON 9600 PRO and 9800 PRO boards, 244 x 194
constexpr int kBitmapLogo = 179;              // chip mark beside the clock panel, 32 x 33

// Every picture by kind; the Windows build makes one icon or bitmap resource of each.
inline constexpr int kProgramIcons[] = {kIconProgram, kIconHint};
inline constexpr int kProgramBitmaps[] = {
    kBitmapConfirm,     kBitmapClockScale, kBitmapBoard9700, kBitmapBanner,           kBitmapFan,
    kBitmapThermometer, kBitmapBoard9500,  kBitmapBoard9200, kBitmapBoard9600And9800, kBitmapLogo};

// Menus.
constexpr int kMenuTray = 131;  // the tray icon's popup menu (menus.h)

// Commands of menu 131 (the tray icon's menu, menus.h) and the about box's command.
constexpr unsigned ID_APP_EXIT_TRAY = 32773;
constexpr unsigned ID_SHOW_CONFIG = 32774;
constexpr unsigned ID_APP_ABOUT = 57664;

// Dialog templates.
constexpr unsigned IDD_ABOUT = 100;
constexpr unsigned IDD_MAIN = 132;            // "Pelagon Graphics Monitor", the main dialog
constexpr unsigned IDD_CONFIRM_CLOCKS = 135;  // confirm-and-revert of new clocks
constexpr unsigned IDD_HARDWARE_DETAILS = 158;
constexpr unsigned IDD_LARGE_CHART = 165;

// Controls of the main dialog. The banner has this id in the hardware details dialog too.
constexpr int IDC_MAIN_TABS = 1010;
constexpr int IDC_BANNER = 1036;
constexpr int IDC_SYSTEM_INFO_TITLE = 1040;
constexpr int IDC_SYSTEM_INFO = 1020;  // list box of driver, memory, AGP and VPU lines
constexpr int IDC_FEATURES_TEXT = 1008;
constexpr int IDC_HELP_TEXT = 1014;
constexpr int IDC_BOARD_PICTURE = 1066;
// Clock panel.
constexpr int IDC_ENGINE_CAPTION = 1023;  // "VPU SPEED"
constexpr int IDC_ENGINE_SCALE = 1034;    // scale picture over the slider
constexpr int IDC_ENGINE_SLIDER = 1004;
constexpr int IDC_ENGINE_MINUS = 1011;
constexpr int IDC_ENGINE_PLUS = 1015;
constexpr int IDC_ENGINE_BOX = 1009;  // the chosen clock, "NNNMHz"
constexpr int IDC_ENGINE_DEFAULT = 1032;
constexpr int IDC_ENGINE_CURRENT = 1037;
constexpr int IDC_MEMORY_CAPTION = 1041;  // "MEMORY SPEED"
constexpr int IDC_MEMORY_SCALE = 1035;
constexpr int IDC_MEMORY_SLIDER = 1005;
constexpr int IDC_MEMORY_MINUS = 1012;
constexpr int IDC_MEMORY_PLUS = 1016;
constexpr int IDC_MEMORY_BOX = 1013;
constexpr int IDC_MEMORY_DEFAULT = 1033;
constexpr int IDC_MEMORY_CURRENT = 1038;
constexpr int IDC_PRESET = 1019;  // combo box of stored settings
constexpr int IDC_APPLY = 1006;
// Monitor panel.
constexpr int IDC_MONITOR_GROUP = 1042;
constexpr int IDC_ENABLE_MONITOR = 1091;
constexpr int IDC_CUSTOM_FAN = 1094;
constexpr int IDC_HEATSINK = 1095;  // "Using 3rd Party Heatsink"
constexpr int IDC_FAN_SPEED_CAPTION = 1062;
constexpr int IDC_VPU_TEMP_CAPTION = 1063;
constexpr int IDC_FAN_SPEED = 1060;
constexpr int IDC_VPU_TEMP = 1061;
constexpr int IDC_FAN_PICTURE = 1064;
constexpr int IDC_THERMOMETER_PICTURE = 1065;
constexpr int IDC_PANEL_CHART_AREA = 1059;  // where the panel's history chart goes
constexpr int IDC_TEMP_LABEL_80 = 1078;
constexpr int IDC_TEMP_LABEL_50 = 1076;
constexpr int IDC_TEMP_LABEL_20 = 1077;
constexpr int IDC_RPM_LABEL_7000 = 1080;
constexpr int IDC_RPM_LABEL_3000 = 1079;
constexpr int IDC_RPM_UNIT_TOP = 1090;
constexpr int IDC_RPM_UNIT_BOTTOM = 1089;
constexpr int IDC_DETAIL = 1056;
constexpr int IDC_LOGO = 1039;
// The history chart the monitor panel creates over its area.
constexpr unsigned IDC_PANEL_CHART = 100;

// Controls of the hardware details dialog.
constexpr int IDC_DETAILS_ITEMS = 1020;  // list box of monitored items, sorted
constexpr int IDC_DETAILS_ITEM_CAPTION = 1045;
constexpr int IDC_DETAILS_FAN_SLIDER = 1046;
constexpr int IDC_DETAILS_CHART_AREA = 1067;
constexpr int IDC_DETAILS_TITLE = 1068;
constexpr int IDC_DETAILS_DESCRIPTION_CAPTION = 1069;
constexpr int IDC_DETAILS_DESCRIPTION = 1070;
constexpr int IDC_DETAILS_HINT_TEXT = 1072;
constexpr int IDC_DETAILS_CURRENT = 1073;
constexpr int IDC_DETAILS_SAFE_RANGE = 1075;
constexpr int IDC_DETAILS_LABEL_BOTTOM = 1079;
constexpr int IDC_DETAILS_LABEL_MIDDLE = 1080;
constexpr int IDC_DETAILS_LABEL_TOP = 1081;
constexpr int IDC_DETAILS_STATUS = 1082;
constexpr int IDC_DETAILS_UNIT = 1088;
constexpr int IDC_DETAILS_BEEP_TEST = 1092;
constexpr int IDC_DETAILS_FAN_CAPTION = 1095;
constexpr int IDC_DETAILS_HINT_ICON = 1096;
constexpr int IDC_DETAILS_FASTEST = 1097;
constexpr int IDC_DETAILS_NOISELESS = 1098;
constexpr int IDC_DETAILS_DRAG_HINT = 1099;
constexpr int IDC_DETAILS_STOP_FAN = 1102;
constexpr int IDC_DETAILS_FAN_AUTO = 1103;
// The history chart the details dialog creates over its area.
constexpr unsigned IDC_DETAILS_CHART = 100;

// Controls of the large chart window.
constexpr int IDC_LARGE_CHART_AREA = 1083;
constexpr int IDC_LARGE_CHART_LABEL_TOP = 1084;
constexpr int IDC_LARGE_CHART_LABEL_MIDDLE = 1085;
constexpr int IDC_LARGE_CHART_LABEL_BOTTOM = 1086;
constexpr unsigned IDC_LARGE_CHART = 300;  // the history chart over the area

// Controls of the confirm-and-revert dialog.
constexpr int IDC_CONFIRM_COUNTDOWN = 1024;
constexpr int IDC_CONFIRM_QUESTION = 1025;
constexpr int IDC_CONFIRM_PICTURE = 1038;
