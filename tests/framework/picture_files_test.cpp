// The Windows build's picture files show what the Linux build draws: bitmaps as 24-bit files
// over the background, icons at each size asked for with the drawing's transparency.
#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include "app/framework/picture_files.h"
#include "app/framework/qt/svg_picture.h"
#include "app/res/resource_ids.h"

namespace {

QString Artwork(int nID) {
    return QStringLiteral(KEST_ARTWORK_DIR "/%1.svg").arg(nID);
}

TEST(PictureFiles, BitmapsAre24BitCopiesOfTheDrawingOverTheBackground) {
    QTemporaryDir dir;
    for (int nID : kProgramBitmaps) {
        const QString bmp = dir.filePath(QStringLiteral("%1.bmp").arg(nID));
        ASSERT_TRUE(
            WriteBitmapFile(Artwork(nID).toLocal8Bit(), RGB(212, 208, 200), bmp.toLocal8Bit()));
        QFile file(bmp);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().at(28), 24) << nID << ": bits per pixel";
        QImage expected(RenderSvgPicture(Artwork(nID)).size(), QImage::Format_RGB32);
        expected.fill(QColor(212, 208, 200));
        QPainter(&expected).drawImage(0, 0, RenderSvgPicture(Artwork(nID)));
        EXPECT_TRUE(QImage(bmp, "BMP").convertToFormat(QImage::Format_RGB32) == expected) << nID;
    }
}

TEST(PictureFiles, IconsHoldEverySizeWithItsTransparency) {
    QTemporaryDir dir;
    const int sizes[] = {16, 32};
    for (int nID : kProgramIcons) {
        const QString ico = dir.filePath(QStringLiteral("%1.ico").arg(nID));
        ASSERT_TRUE(WriteIconFile(Artwork(nID).toLocal8Bit(), sizes, 2, ico.toLocal8Bit()));
        QImageReader reader(ico, "ICO");
        ASSERT_EQ(reader.imageCount(), 2) << nID;
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(reader.jumpToImage(i));
            const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
            const QImage drawn = RenderSvgPicture(Artwork(nID), QSize(sizes[i], sizes[i]))
                                     .convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(read.size(), drawn.size()) << nID;
            for (int p = 0; p < sizes[i] * sizes[i]; ++p) {
                const QRgb a = read.pixel(p % sizes[i], p / sizes[i]);
                const QRgb b = drawn.pixel(p % sizes[i], p / sizes[i]);
                ASSERT_TRUE(qAlpha(b) == 0 ? qAlpha(a) == 0 : a == b) << nID << " pixel " << p;
            }
        }
    }
}

}  // namespace
