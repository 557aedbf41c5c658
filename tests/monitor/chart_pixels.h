// Reading a history chart's picture back: where a series' newest point and the level line lie.
#pragma once

#include <QColor>
#include <QImage>

#include <vector>

#include "app/controls/history_chart.h"
#include "app/framework/qt/gdi_qt.h"

namespace kesttest {

// The chart's off-screen image.
inline const QImage& ChartImage(const CHistoryChart& chart) {
    return QtImageOf(chart.GetBitmap());
}

// The pixel row of a position, as the chart scales it (clamped into the picture).
inline int RowOfPosition(const QImage& image, int nPosition) {
    const int row = nPosition * image.height() / 100;
    return row < image.height() ? row : image.height() - 1;
}

// Rows of column x painted exactly in colour cr.
inline std::vector<int> RowsInColour(const QImage& image, int x, COLORREF cr) {
    std::vector<int> rows;
    const QRgb want = ColorFromRef(cr).rgb();
    for (int y = 0; y < image.height(); ++y) {
        if ((image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF)) {
            rows.push_back(y);
        }
    }
    return rows;
}

// True when the newest segment of series 0, drawn level, lies on the row of nPosition (the pen
// is two pixels wide, so its centre row is within one of it).
inline bool NewestPointOnRow(const QImage& image, int nPosition) {
    const std::vector<int> rows =
        RowsInColour(image, image.width() - 3, CHistoryChart::kSeries0Color);
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

inline bool LevelOnRow(const QImage& image, int nLevel) {
    const std::vector<int> rows = RowsInColour(image, 1, CHistoryChart::kLevelColor);
    return rows == std::vector<int>{RowOfPosition(image, nLevel)};
}

inline bool AnySeriesPixel(const QImage& image) {
    for (int x = 0; x < image.width(); ++x) {
        if (!RowsInColour(image, x, CHistoryChart::kSeries0Color).empty()) {
            return true;
        }
    }
    return false;
}

}  // namespace kesttest
