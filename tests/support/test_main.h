// What the window tests' main() leaves for the tests.
#pragma once

#include "app/device/message_box.h"

namespace kesttest {

// The window system's own message boxes, as the window layer installed them at start-up. Until a
// test installs them (or scripts its own), boxes are printed and answered OK.
MessageBoxService& SystemMessageBoxes();

}  // namespace kesttest
