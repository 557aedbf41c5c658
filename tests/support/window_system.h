// What the window tests need of the window system besides a person's input: its message loop,
// the pictures of windows as they are drawn, the texts they show and the popup menu in front.
// Each back end implements these for its window system; tests use nothing below the window
// layer's interface apart from them.
#pragma once

#include <functional>
#include <vector>

#include "app/framework/framework.h"
#include "tests/support/image.h"

namespace user {

// Before the window layer starts: the display the tests draw on (offscreen where the window
// system offers one and the caller chose none).
void UseTestDisplay();

// Delivers what is posted (messages, pending paints, windows going) and what that posts in turn;
// never waits for a timer.
void Settle();
// Runs fn from the window system's loop, whichever loop runs next (a modal one too).
void Later(std::function<void()> fn);

// The window's pixels as it paints itself now, its edges included (the client area lies within
// them).
kesttest::Image Capture(HWND hWnd);
// A bitmap's size and pixels, also while a context has it selected; a null image for none.
kesttest::Image BitmapPixels(HBITMAP hBitmap);
// The text the window shows (its caption, its label, its button face) as a person reads it.
CString ShownText(HWND hWnd);

// The items of the popup menu that is open, by their texts with the mnemonic marks; empty when
// no popup menu is open.
std::vector<CString> PopupMenuItems();

}  // namespace user
