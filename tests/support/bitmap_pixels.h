// Bitmaps and pictures through the drawing interface alone: a bitmap's pixels read back through a
// memory context, and a bitmap painted from a picture.
#pragma once

#include "app/framework/gdi.h"
#include "tests/support/image.h"

namespace kesttest {

// The bitmap's size and pixels; a null image for no bitmap.
Image PixelsOf(HBITMAP hBitmap);
// One pixel of the bitmap; CLR_INVALID outside it.
COLORREF PixelOf(HBITMAP hBitmap, int x, int y);
// A new bitmap in the screen's format holding the picture.
BOOL MakeBitmap(CBitmap& bitmap, const Image& picture);
// A picture of one colour, and one whose left half (rounded down) is `left`, the rest `right`.
Image Solid(int width, int height, COLORREF colour);
Image Halves(int width, int height, COLORREF left, COLORREF right);

}  // namespace kesttest
