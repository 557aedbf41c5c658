// The Qt side of the drawing interface: what the handles hold, and the conversions the Qt back
// end and its tests use. Nothing outside the back end includes this.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <memory>

#include "app/framework/gdi.h"
#include "app/framework/qt/wnd_internal.h"

// The record behind every GDI handle.
struct GdiRecord {
    virtual ~GdiRecord() = default;
};

struct HPEN__ : GdiRecord {
    int nStyle = PS_SOLID;
    int nWidth = 1;
    COLORREF cr = 0;
};

struct HBRUSH__ : GdiRecord {
    UINT nStyle = BS_SOLID;
    int nHatch = 0;
    COLORREF cr = 0;
};

struct HFONT__ : GdiRecord {
    QFont font;
};

struct HBITMAP__ : GdiRecord {
    QImage image;
};

// A device context draws either with the painter of a window that is painting or, for a memory
// context, on the image of the bitmap selected into it.
struct HDC__ {
    std::unique_ptr<QPainter> painter;  // a painting window's painter; null for a memory context
    QFont font;                         // drawn with while no font is selected
};

QFont FontFromLogFont(const LOGFONT& lf);
LOGFONT LogFontFromFont(const QFont& font);

// The image of a bitmap handle (null image for none), and a new bitmap handle holding an image.
const QImage& QtImageOf(HBITMAP hBitmap);
HBITMAP BitmapFromImage(const QImage& image);
