// The artwork as the Qt tree ships it: SVG files in the Qt resource file, each drawn at its own
// size.
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QString>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include "app/res/resource_ids.h"

// Outside any namespace, as the resource initialiser is declared where this is written.
static void InitArtwork() {
    Q_INIT_RESOURCE(artwork);
}

namespace {

struct Picture {
    int nId;
    int nWidth;
    int nHeight;
};

// Every picture the windows ask for, at the pixel size they are laid out for.
const Picture kPictures[] = {
    {kIconProgram, 32, 32},
    {kBitmapConfirm, 102, 31},
    {kBitmapClockScale, 200, 5},
    {kBitmapBoard9700, 236, 210},
    {kBitmapBanner, 625, 155},
    {kBitmapFan, 19, 18},
    {kBitmapThermometer, 19, 18},
    {kIconHint, 32, 32},
    {kBitmapBoard9500, 239, 199},
    {kBitmapBoard9200, 225, 211},
    {kBitmapBoard9600And9800, 244, 194},
    {kBitmapLogo, 32, 33},
};

TEST(ArtworkSvgTest, EverySvgExistsAtItsSizeAndShowsSomething) {
    InitArtwork();
    for (const Picture& picture : kPictures) {
        const QString path = QString(":/res/%1.svg").arg(picture.nId);
        SCOPED_TRACE(path.toStdString());
        QSvgRenderer renderer(path);
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.defaultSize(), QSize(picture.nWidth, picture.nHeight));

        QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                colours.insert(image.pixel(x, y));
            }
        }
        EXPECT_GE(colours.size(), 4) << "a picture, not a blank";
    }
}

}  // namespace
