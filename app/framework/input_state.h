// Where the user's hand is: the cursor and the mouse buttons, asked the way a Windows program asks
// (the keyboard focus is GetFocus of the window layer).
#pragma once

#include <cstdint>

#include "app/framework/wnd.h"

#ifndef _WIN32
using SHORT = std::int16_t;

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;

// A standard cursor: the arrow.
inline const LPCTSTR IDC_ARROW = reinterpret_cast<LPCTSTR>(static_cast<std::uintptr_t>(32512));

// The cursor's position in screen pixels.
BOOL GetCursorPos(POINT* lpPoint);
// The high bit is set while the key (or mouse button) is down; the low bit is its toggle state.
SHORT GetKeyState(int nVirtKey);
#endif  // _WIN32
