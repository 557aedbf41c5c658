#include "tests/support/bitmap_pixels.h"

namespace kesttest {

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
