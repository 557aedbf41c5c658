// The program's drawings as the Windows build's picture files: every bitmap is a 24-bit file of
// the drawing's size showing what the Linux build draws, laid over the background; every icon
// holds each size asked for with the drawing's colours and transparency.
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
    const COLORREF background = RGB(212, 208, 200);
    for (int nID : kProgramBitmaps) {
        const QString bmp = dir.filePath(QStringLiteral("%1.bmp").arg(nID));
        ASSERT_TRUE(WriteBitmapFile(Artwork(nID).toLocal8Bit().constData(), background,
                                    bmp.toLocal8Bit().constData()))
            << nID;
        QFile file(bmp);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        ASSERT_GT(bytes.size(), 30);
        EXPECT_EQ(bytes[28], 24) << nID << ": bits per pixel";

        QImage expected(RenderSvgPicture(Artwork(nID)).size(), QImage::Format_RGB32);
        expected.fill(QColor(212, 208, 200));
        QPainter(&expected).drawImage(0, 0, RenderSvgPicture(Artwork(nID)));
        const QImage written = QImage(bmp, "BMP").convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(written.size(), expected.size()) << nID;
        EXPECT_TRUE(written == expected) << nID;
    }
}

TEST(PictureFiles, IconsHoldEverySizeWithItsTransparency) {
    QTemporaryDir dir;
    const int sizes[] = {16, 32};
    for (int nID : kProgramIcons) {
        const QString ico = dir.filePath(QStringLiteral("%1.ico").arg(nID));
        ASSERT_TRUE(WriteIconFile(Artwork(nID).toLocal8Bit().constData(), sizes, 2,
                                  ico.toLocal8Bit().constData()))
            << nID;
        QImageReader reader(ico, "ICO");
        ASSERT_EQ(reader.imageCount(), 2) << nID;
        for (int i = 0; i < 2; ++i) {
            const int size = sizes[i];
            ASSERT_TRUE(reader.jumpToImage(i));
            const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
            const QImage drawn = RenderSvgPicture(Artwork(nID), QSize(size, size))
                                     .convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(read.size(), drawn.size()) << nID;
            int differences = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const QRgb a = read.pixel(x, y);
                    const QRgb b = drawn.pixel(x, y);
                    differences += qAlpha(a) != qAlpha(b) || (qAlpha(b) != 0 && a != b) ? 1 : 0;
                }
            }
            EXPECT_EQ(differences, 0) << nID << " at " << size;
        }
    }
}

TEST(PictureFiles, NoFileFromWhatIsNotADrawing) {
    QTemporaryDir dir;
    const int sizes[] = {16};
    const QByteArray out = dir.filePath(QStringLiteral("x")).toLocal8Bit();
    EXPECT_FALSE(WriteBitmapFile(KEST_ARTWORK_DIR "/missing.svg", 0, out.constData()));
    EXPECT_FALSE(WriteIconFile(KEST_ARTWORK_DIR "/make_artwork.py", sizes, 1, out.constData()));
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(out)));
}

}  // namespace
