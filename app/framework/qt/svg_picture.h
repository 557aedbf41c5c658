// The program's pictures are SVG drawings; this is the one place that turns one into pixels, for
// the windows on Linux and for the picture files of the Windows build alike.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The drawing in the file at `path` rendered at `size` (its own size when empty), on transparent
// premultiplied ARGB; a null image when the file is not a drawing.
QImage RenderSvgPicture(const QString& path, QSize size = QSize());
