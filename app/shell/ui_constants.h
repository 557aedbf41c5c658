// Values several windows of the program share.
#pragma once

#include "app/framework/framework.h"

// Style of the program's error boxes.
inline constexpr unsigned kErrorBox = MB_ICONERROR | MB_SETFOREGROUND;
// The button face (and dialog background) the program sets while a main dialog exists and
// after a resume.
inline constexpr COLORREF kDialogButtonFace = 0x00C8D0D4;
