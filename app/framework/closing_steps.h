// What each back end gives the closing state (closing.cpp).
#pragma once

// Calls fn from the program's message loop once the current message has been handled.
void AfxPostToMessageLoop(void (*fn)());
// Ends the system's own modal loops that the window layer does not run itself (an open popup
// menu on Windows); nothing where the layer runs them all.
void AfxEndSystemLoops();
