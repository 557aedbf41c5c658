// Bitmaps made from pictures through the drawing interface alone, and pictures to make them from.
#pragma once

#include "app/framework/gdi.h"
#include "tests/support/image.h"

namespace kesttest {

// A new bitmap in the screen's format holding the picture.
BOOL MakeBitmap(CBitmap& bitmap, const Image& picture);
// A picture of one colour, and one whose left half (rounded down) is `left`, the rest `right`.
Image Solid(int width, int height, COLORREF colour);
Image Halves(int width, int height, COLORREF left, COLORREF right);

}  // namespace kesttest
