#include "tests/support/bitmap_pixels.h"

namespace kesttest {

namespace {

// A memory context with a bitmap the caller does not own selected for the context's lifetime.
class BitmapReader {
public:
    explicit BitmapReader(HBITMAP hBitmap) {
        m_bitmap.Attach(hBitmap);
        m_dc.CreateCompatibleDC(nullptr);
        m_pOld = m_dc.SelectObject(&m_bitmap);
    }
    ~BitmapReader() {
        m_dc.SelectObject(m_pOld);
        m_dc.DeleteDC();
        m_bitmap.Detach();
    }
    BitmapReader(const BitmapReader&) = delete;
    BitmapReader& operator=(const BitmapReader&) = delete;

    COLORREF Pixel(int x, int y) const { return m_dc.GetPixel(x, y); }

private:
    CBitmap m_bitmap;
    CDC m_dc;
    CBitmap* m_pOld = nullptr;
};

}  // namespace

Image PixelsOf(HBITMAP hBitmap) {
    BITMAP bm{};
    if (hBitmap == nullptr || ::GetObject(hBitmap, sizeof bm, &bm) == 0) {
        return Image();
    }
    Image image(bm.bmWidth, bm.bmHeight);
    const BitmapReader reader(hBitmap);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.Set(x, y, reader.Pixel(x, y));
        }
    }
    return image;
}

COLORREF PixelOf(HBITMAP hBitmap, int x, int y) {
    if (hBitmap == nullptr) {
        return CLR_INVALID;
    }
    const BitmapReader reader(hBitmap);
    return reader.Pixel(x, y);
}

BOOL MakeBitmap(CBitmap& bitmap, const Image& picture) {
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr) ||
        !bitmap.CreateCompatibleBitmap(&dc, picture.width, picture.height)) {
        return FALSE;
    }
    CBitmap* old = dc.SelectObject(&bitmap);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            dc.FillSolidRect(x, y, 1, 1, picture.At(x, y));
        }
    }
    dc.SelectObject(old);
    return TRUE;
}

Image Solid(int width, int height, COLORREF colour) {
    return Image(width, height, colour);
}

Image Halves(int width, int height, COLORREF left, COLORREF right) {
    Image image(width, height, right);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width / 2; ++x) {
            image.Set(x, y, left);
        }
    }
    return image;
}

}  // namespace kesttest
