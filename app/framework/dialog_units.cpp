#include "app/framework/dialog_units.h"

RECT MapDialogRect(const RECT& rc, DialogBaseUnits units) {
    return RECT{DialogUnitsToPixelsX(rc.left, units), DialogUnitsToPixelsY(rc.top, units),
                DialogUnitsToPixelsX(rc.right, units), DialogUnitsToPixelsY(rc.bottom, units)};
}

RECT MapDialogItemRect(int x, int y, int cx, int cy, DialogBaseUnits units) {
    return MapDialogRect(RECT{x, y, x + cx, y + cy}, units);
}
