// What a person does to a window, delivered along the path the window system gives their input:
// pointer clicks at a place, keys to the focused window, and the actions an assistive tool
// (screen reader, voice control, GUI test driver) calls. Tests act through these rather than
// through the controls' own classes, so the same tests hold on every back end.
#pragma once

#include "app/framework/framework.h"

namespace user {

// Virtual keys, by their Windows numbers.
inline constexpr UINT kTab = 0x09;
inline constexpr UINT kReturn = 0x0D;
inline constexpr UINT kEscape = 0x1B;
inline constexpr UINT kSpace = 0x20;
inline constexpr UINT kPageUp = 0x21;
inline constexpr UINT kPageDown = 0x22;
inline constexpr UINT kEnd = 0x23;
inline constexpr UINT kHome = 0x24;
inline constexpr UINT kLeft = 0x25;
inline constexpr UINT kUp = 0x26;
inline constexpr UINT kRight = 0x27;
inline constexpr UINT kDown = 0x28;

// A left click in the middle of the window, or at a point of its client area.
void Click(HWND hWnd);
void ClickAt(HWND hWnd, POINT client);
// A left click on a list box's line (scrolled into view first) or a tab control's tab.
void ClickItem(HWND hWnd, int nIndex);
// The window takes the focus as a person's click or Tab would give it, then the key goes in;
// a character key (a letter, a digit) is typed.
void Key(HWND hWnd, UINT nVirtualKey, bool bCtrl = false, bool bShift = false);
void Type(HWND hWnd, const char* lpszText);
// A click on the window's close box.
void CloseBox(HWND hWnd);

// An assistive tool's action by its name ("Press", "Toggle"); false when the window offers none
// of that name.
bool Act(HWND hWnd, const char* lpszAction);
// An assistive tool choosing a list box's line or a tab control's tab.
bool Choose(HWND hWnd, int nIndex);
// An assistive tool setting a trackbar's value.
bool SetValue(HWND hWnd, int nValue);
// What a screen reader says of the window: its name and its description.
CString AccessibleName(HWND hWnd);
CString AccessibleDescription(HWND hWnd);

}  // namespace user
