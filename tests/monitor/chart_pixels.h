// Reading a history chart's picture back: where a series' newest point and the level line lie.
#pragma once

#include <vector>

#include "app/controls/history_chart.h"
#include "tests/support/image.h"
#include "tests/support/window_system.h"

namespace kesttest {

// The chart's off-screen image.
inline Image ChartImage(const CHistoryChart& chart) {
    return user::BitmapPixels(chart.GetBitmap());
}

// The pixel row of a position, as the chart scales it (clamped into the picture).
inline int RowOfPosition(const Image& image, int nPosition) {
    const int row = nPosition * image.height / 100;
    return row < image.height ? row : image.height - 1;
}

// Rows of column x painted exactly in colour cr.
inline std::vector<int> RowsInColour(const Image& image, int x, COLORREF cr) {
    std::vector<int> rows;
    for (int y = 0; y < image.height; ++y) {
        if (image.At(x, y) == cr) {
            rows.push_back(y);
        }
    }
    return rows;
}

// True when the newest segment of series 0, drawn level, lies on the row of nPosition (the pen
// is two pixels wide, so its centre row is within one of it).
inline bool NewestPointOnRow(const Image& image, int nPosition) {
    const std::vector<int> rows =
        RowsInColour(image, image.width - 3, CHistoryChart::kSeries0Color);
    if (rows.empty()) {
        return false;
    }
    const int want = RowOfPosition(image, nPosition);
    for (int r : rows) {
        if (r < want - 1 || r > want + 1) {
            return false;
        }
    }
    return true;
}

inline bool LevelOnRow(const Image& image, int nLevel) {
    const std::vector<int> rows = RowsInColour(image, 1, CHistoryChart::kLevelColor);
    return rows == std::vector<int>{RowOfPosition(image, nLevel)};
}

inline bool AnySeriesPixel(const Image& image) {
    return HasPixel(image, CHistoryChart::kSeries0Color);
}

}  // namespace kesttest
