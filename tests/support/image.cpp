#include "tests/support/image.h"

#include <algorithm>

namespace kesttest {

void Box::Add(int px, int py) {
    if (Empty()) {
        *this = Box{px, py, 1, 1};
        return;
    }
    const int left = std::min(x, px);
    const int top = std::min(y, py);
    const int right = std::max(Right(), px);
    const int bottom = std::max(Bottom(), py);
    *this = Box{left, top, right - left + 1, bottom - top + 1};
}

Image Image::Copy(const Box& box) const {
    Image part(box.width, box.height);
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const int sx = box.x + x;
            const int sy = box.y + y;
            if (sx >= 0 && sx < width && sy >= 0 && sy < height) {
                part.Set(x, y, At(sx, sy));
            }
        }
    }
    return part;
}

Box BoxOfOthers(const Image& image, COLORREF background, Box area) {
    return BoxWhere(
        image, [background](COLORREF cr) { return cr != background; }, area);
}

Box BoxOf(const Image& image, COLORREF colour) {
    return BoxWhere(image, [colour](COLORREF cr) { return cr == colour; });
}

bool HasPixel(const Image& image, COLORREF colour) {
    return std::find(image.pixels.begin(), image.pixels.end(), colour) != image.pixels.end();
}

}  // namespace kesttest
