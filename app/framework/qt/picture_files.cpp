// Bitmap (.bmp) and icon (.ico) files in the layouts windres takes: bottom-up rows, each padded
// to four bytes; an icon image is a 32-bit BGRA bitmap of twice its height whose lower half is
// the colour image and whose upper half is the 1-bit transparency mask.
#include "app/framework/picture_files.h"

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <vector>

#include "app/framework/qt/svg_picture.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void Put32(Bytes& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int RowBytes(int nWidth, int nBitsPerPixel) {
    return ((nWidth * nBitsPerPixel + 31) / 32) * 4;
}

// BITMAPINFOHEADER: 40 bytes, one plane, no compression.
void PutInfoHeader(Bytes& out, int nWidth, int nHeight, int nBitsPerPixel, unsigned nImageBytes) {
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(nWidth));
    Put32(out, static_cast<unsigned>(nHeight));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(nBitsPerPixel));
    Put32(out, 0);
    Put32(out, nImageBytes);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

Bytes BitmapBytes(const QImage& picture, COLORREF crBackground) {
    QImage image(picture.size(), QImage::Format_RGB32);
    image.fill(QColor(GetRValue(crBackground), GetGValue(crBackground), GetBValue(crBackground)));
    QPainter(&image).drawImage(0, 0, picture);
    const int nRow = RowBytes(image.width(), 24);
    const unsigned nImage = static_cast<unsigned>(nRow * image.height());
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + nImage);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, image.width(), image.height(), 24, nImage);
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            out.push_back(static_cast<unsigned char>(qBlue(pixel)));
            out.push_back(static_cast<unsigned char>(qGreen(pixel)));
            out.push_back(static_cast<unsigned char>(qRed(pixel)));
        }
        out.resize(start + static_cast<std::size_t>(nRow), 0);
    }
    return out;
}

Bytes IconImageBytes(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int n = image.width();
    const int nMaskRow = RowBytes(n, 1);
    Bytes out;
    PutInfoHeader(out, n, 2 * n, 32, static_cast<unsigned>(n * n * 4 + nMaskRow * n));
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            Put32(out, image.pixel(x, y));  // 0xAARRGGBB is B, G, R, A in memory
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(nMaskRow), 0);
        for (int x = 0; x < n; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// Text in a drawing needs the font database, which needs an application object; a tool that has
// none gets one without a screen.
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zel_resources";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

bool WriteBytes(const char* lpszPath, const Bytes& bytes) {
    QFile file(QString::fromLocal8Bit(lpszPath));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

}  // namespace

bool WriteBitmapFile(const char* lpszSvgPath, COLORREF crBackground, const char* lpszBmpPath) {
    EnsureApplication();
    const QImage picture = RenderSvgPicture(QString::fromLocal8Bit(lpszSvgPath));
    return !picture.isNull() && WriteBytes(lpszBmpPath, BitmapBytes(picture, crBackground));
}

bool WriteIconFile(const char* lpszSvgPath, const int* pnSizes, int nSizes,
                   const char* lpszIcoPath) {
    EnsureApplication();
    std::vector<Bytes> images;
    for (int i = 0; i < nSizes; ++i) {
        const QImage picture =
            RenderSvgPicture(QString::fromLocal8Bit(lpszSvgPath), QSize(pnSizes[i], pnSizes[i]));
        if (picture.isNull() || pnSizes[i] < 1 || pnSizes[i] > 255) {
            return false;
        }
        images.push_back(IconImageBytes(picture));
    }
    // ICONDIR, then one 16-byte entry per image, then the images.
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(nSizes));
    unsigned nOffset = 6 + 16 * static_cast<unsigned>(nSizes);
    for (int i = 0; i < nSizes; ++i) {
        out.push_back(static_cast<unsigned char>(pnSizes[i]));
        out.push_back(static_cast<unsigned char>(pnSizes[i]));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<unsigned>(images[static_cast<std::size_t>(i)].size()));
        Put32(out, nOffset);
        nOffset += static_cast<unsigned>(images[static_cast<std::size_t>(i)].size());
    }
    for (const Bytes& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return WriteBytes(lpszIcoPath, out);
}
