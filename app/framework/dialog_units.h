// Dialog units to pixels, the Windows way: the base units are the dialog font's average
// character width and its height; x pixels = x * baseX / 4, y pixels = y * baseY / 8, each
// rounded as MulDiv rounds. Qt-free.
#pragma once

#include "app/framework/win_types.h"

struct DialogBaseUnits {
    int cx;  // average character width, pixels
    int cy;  // character height, pixels
};

// Average width from the extent of "A..Za..z" (52 letters), rounded as Windows rounds it.
constexpr int AverageCharWidth(int nExtentOf52Letters) {
    return (nExtentOf52Letters / 26 + 1) / 2;
}

inline int DialogUnitsToPixelsX(int x, DialogBaseUnits units) {
    return MulDiv(x, units.cx, 4);
}
inline int DialogUnitsToPixelsY(int y, DialogBaseUnits units) {
    return MulDiv(y, units.cy, 8);
}

// Converts each edge of a rectangle given as (left, top, right, bottom) in dialog units.
RECT MapDialogRect(const RECT& rcDialogUnits, DialogBaseUnits units);
// A template rectangle (x, y, width, height) to a pixel RECT.
RECT MapDialogItemRect(int x, int y, int cx, int cy, DialogBaseUnits units);
