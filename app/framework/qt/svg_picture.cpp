#include "app/framework/qt/svg_picture.h"

#include <QPainter>
#include <QSvgRenderer>

QImage RenderSvgPicture(const QString& path, QSize size) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return QImage();
    }
    QImage image(size.isEmpty() ? renderer.defaultSize() : size,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}
