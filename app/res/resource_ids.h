// Ids of the program's resources: pictures and commands.
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

// Commands of menu 131 (the tray icon's menu, menus.h) and the about box's command.
constexpr unsigned ID_APP_EXIT_TRAY = 32773;
constexpr unsigned ID_SHOW_CONFIG = 32774;
constexpr unsigned ID_APP_ABOUT = 57664;
