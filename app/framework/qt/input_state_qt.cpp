#include "app/framework/input_state.h"

#include <QApplication>
#include <QCursor>

BOOL GetCursorPos(POINT* lpPoint) {
    if (lpPoint == nullptr) {
        return FALSE;
    }
    const QPoint p = QCursor::pos();
    *lpPoint = POINT{p.x(), p.y()};
    return TRUE;
}

SHORT GetKeyState(int nVirtKey) {
    Qt::MouseButton button = Qt::NoButton;
    if (nVirtKey == VK_LBUTTON) {
        button = Qt::LeftButton;
    } else if (nVirtKey == VK_RBUTTON) {
        button = Qt::RightButton;
    }
    const bool down = button != Qt::NoButton && (QApplication::mouseButtons() & button) != 0;
    return static_cast<SHORT>(down ? 0x8000 : 0);
}
