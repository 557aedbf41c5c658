#include "tests/support/screenshot.h"

#include <QApplication>
#include <QWidget>

#include "app/framework/wnd.h"

QImage GrabWindow(QWidget* window) {
    if (window == nullptr) {
        return QImage();
    }
    if (!window->isVisible()) {
        window->show();
    }
    QApplication::processEvents();
    return window->grab().toImage();
}

QImage GrabWindow(CWnd& window) {
    return GrabWindow(window.GetSafeHwnd());
}

bool SaveWindowPng(QWidget* window, const QString& path) {
    const QImage image = GrabWindow(window);
    return !image.isNull() && image.save(path, "PNG");
}

bool SaveWindowPng(CWnd& window, const QString& path) {
    return SaveWindowPng(window.GetSafeHwnd(), path);
}
