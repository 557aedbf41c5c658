#include "tests/support/screenshot.h"

#include "app/framework/qt/wnd_internal.h"

#include <QFile>
#include <QTextStream>

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
    return GrabWindow(WidgetOf(window.GetSafeHwnd()));
}

bool SaveWindowPng(QWidget* window, const QString& path) {
    const QImage image = GrabWindow(window);
    return !image.isNull() && image.save(path, "PNG");
}

bool SaveWindowPng(CWnd& window, const QString& path) {
    return SaveWindowPng(WidgetOf(window.GetSafeHwnd()), path);
}

long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return -1;
    }
    QTextStream in(&status);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        if (line.startsWith(QLatin1String("VmRSS:"))) {
            return line.mid(6).trimmed().split(QLatin1Char(' ')).front().toLong();
        }
    }
    return -1;
}
