// The window system's side of the tests over Qt: the application's event delivery, widget grabs
// and the widgets' own texts.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "app/framework/qt/gdi_qt.h"
#include "app/framework/qt/wnd_internal.h"
#include "tests/support/window_system.h"

namespace user {

void UseTestDisplay() {
    // gtest_discover_tests runs the binary at build time without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

void Settle() {
    // Each round delivers what the one before posted; a few rounds reach the end of any chain
    // the program starts (an exit's deferred steps, self-deleting windows).
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
}

void Later(std::function<void()> fn) {
    QTimer::singleShot(0, QApplication::instance(), std::move(fn));
}

namespace {

kesttest::Image Pixels(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    kesttest::Image image(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            image.Set(x, y, RefFromColor(QColor::fromRgb(rgb.pixel(x, y))));
        }
    }
    return image;
}

}  // namespace

kesttest::Image Capture(HWND hWnd) {
    return Pixels(WidgetOf(hWnd)->grab().toImage());
}

kesttest::Image BitmapPixels(HBITMAP hBitmap) {
    return hBitmap != nullptr ? Pixels(QtImageOf(hBitmap)) : kesttest::Image();
}

CString ShownText(HWND hWnd) {
    QWidget* w = WidgetOf(hWnd);
    if (w->isWindow()) {
        return FromQt(w->windowTitle());
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return FromQt(label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return FromQt(button->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        return FromQt(group->title());
    }
    return FromQt(WidgetText(w));
}

std::vector<CString> PopupMenuItems() {
    std::vector<CString> items;
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (const QAction* action : menu->actions()) {
            items.push_back(FromQt(action->text()));
        }
    }
    return items;
}

}  // namespace user
