// A picture as tests read it: the pixels of a window or a bitmap, row by row from the top-left,
// as COLORREF values, whatever window system drew them.
#pragma once

#include <ostream>
#include <vector>

#include "app/framework/win_types.h"

namespace kesttest {

// A rectangle of pixels by its top-left corner and size; empty when it covers none.
struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
    int Right() const { return x + width - 1; }  // the last column inside
    int Bottom() const { return y + height - 1; }
    bool Contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
    // The smallest box holding this one and the pixel (px, py).
    void Add(int px, int py);
    bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "(" << box.x << "," << box.y << " " << box.width << "x" << box.height << ")";
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    Image() = default;
    Image(int w, int h, COLORREF fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

    bool Null() const { return width <= 0 || height <= 0; }
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void Set(int x, int y, COLORREF cr) { pixels[static_cast<std::size_t>(y) * width + x] = cr; }
    // The part inside box; pixels outside the picture come out black.
    Image Copy(const Box& box) const;
    bool operator==(const Image&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Image& image) {
    return out << "image " << image.width << "x" << image.height;
}

// Brightness as a grey level 0-255, weighted the way the eye sees the three colours.
inline int Gray(COLORREF cr) {
    return (GetRValue(cr) * 11 + GetGValue(cr) * 16 + GetBValue(cr) * 5) / 32;
}

// The box around the pixels inside `area` (the whole picture when empty) for which pick is true.
template <typename Pick>
Box BoxWhere(const Image& image, Pick pick, Box area = {}) {
    if (area.Empty()) {
        area = Box{0, 0, image.width, image.height};
    }
    Box box;
    for (int y = area.y; y <= area.Bottom(); ++y) {
        for (int x = area.x; x <= area.Right(); ++x) {
            if (pick(image.At(x, y))) {
                box.Add(x, y);
            }
        }
    }
    return box;
}

// The box around the pixels of another colour than `background`, and around those of `colour`.
Box BoxOfOthers(const Image& image, COLORREF background, Box area = {});
Box BoxOf(const Image& image, COLORREF colour);
bool HasPixel(const Image& image, COLORREF colour);

}  // namespace kesttest
