// Renders a window of the program offscreen into an image or a PNG file.
#pragma once

#include <QImage>
#include <QString>

class QWidget;
class CWnd;

// The window as it is drawn now (shown offscreen first if it is not visible).
QImage GrabWindow(QWidget* window);
QImage GrabWindow(CWnd& window);
// Writes the window's image as PNG; false when the window or the file cannot be had.
bool SaveWindowPng(QWidget* window, const QString& path);
bool SaveWindowPng(CWnd& window, const QString& path);

// Resident memory of this process in KiB (VmRSS), or -1 when it cannot be read.
long ResidentKiB();
