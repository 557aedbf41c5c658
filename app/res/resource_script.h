// The program's Windows resource script (ZEL.rc): its icons and bitmaps as picture files named
// by resource id, its menus from the menu tables and its version block. Qt-free.
#pragma once

#include <string>

// The file the script names for picture nID ("128.ico", "157.bmp").
std::string IconFileName(int nID);
std::string BitmapFileName(int nID);

// The whole script, for windres.
std::string ResourceScript();
