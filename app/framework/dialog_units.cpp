#include "app/framework/dialog_units.h"

RECT MapDialogRect(const RECT& rc, DialogBaseUnits units) {
    return RECT{DialogUnitsToPixelsX(rc.left, units), DialogUnitsToPixelsY(rc.top, units),
                DialogUnitsToPixelsX(rc.right, units), DialogUnitsToPixelsY(rc.bottom, units)};
}

RECT MapDialogItemRect(int x, int y, int cx, int cy, DialogBaseUnits units) {
    const RECT origin = MapDialogRect(RECT{x, y, cx, cy}, units);
    return RECT{origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
}
