#include "app/controls/history_chart.h"

#include <gtest/gtest.h>

#include "tests/support/window_system.h"

namespace {

using kesttest::Box;
using kesttest::Image;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(0, 128, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kLevel = RGB(128, 0, 0);

// The client size of a 224 x 57 dialog-unit chart with 6 x 13 pixel base units.
constexpr int kWidth = 336;
constexpr int kHeight = 93;
// WS_EX_CLIENTEDGE and WS_EX_STATICEDGE together take 3 pixels on each side.
constexpr int kEdge = 3;

class HistoryChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "parent", 0, RECT{0, 0, 400, 200}, nullptr, 0));
        ASSERT_TRUE(m_chart.Create(WS_CHILD | WS_VISIBLE,
                                   RECT{10, 10, 10 + kWidth + 2 * kEdge, 10 + kHeight + 2 * kEdge},
                                   &m_parent, 100));
        RECT rc;
        m_chart.GetClientRect(&rc);
        ASSERT_EQ(rc.right, kWidth);
        ASSERT_EQ(rc.bottom, kHeight);
    }
    void TearDown() override {
        m_chart.DestroyWindow();
        m_parent.DestroyWindow();
    }

    // The grid as a freshly initialised chart shows it.
    Image Grid() {
        CHistoryChart fresh;
        EXPECT_TRUE(fresh.Create(WS_CHILD, RECT{0, 0, kWidth + 2 * kEdge, kHeight + 2 * kEdge},
                                 &m_parent, 101));
        fresh.Init();
        Image grid = user::BitmapPixels(fresh.GetBitmap());
        fresh.DestroyWindow();
        return grid;
    }

    // The chart's off-screen picture as it is now.
    Image Picture() const { return user::BitmapPixels(m_chart.GetBitmap()); }
    COLORREF Pixel(int x, int y) const { return Picture().At(x, y); }
    int Row(int position) const { return position * kHeight / 100; }
    // What the window shows, as the person sees it.
    Image Shown() const { return user::Capture(m_chart.GetSafeHwnd()); }

    // Pixels of a colour inside a rectangle.
    int Count(COLORREF colour, int x0, int y0, int x1, int y1) const {
        const Image picture = Picture();
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += picture.At(x, y) == colour ? 1 : 0;
            }
        }
        return n;
    }

    CWnd m_parent;
    CHistoryChart m_chart;
};

TEST_F(HistoryChartTest, NoImageBeforeInitAndNothingDrawn) {
    EXPECT_TRUE(Picture().Null());
    m_chart.SetValue(0, 50);
    m_chart.AddSegment(1);
    m_chart.DrawLevel(50);
    EXPECT_TRUE(Picture().Null());
    (void)Shown();  // painting without an image paints nothing
}

TEST_F(HistoryChartTest, InitFillsTheClientSizeWithAnEightPixelCrossHatchOnBlack) {
    m_chart.Init();
    const Image picture = Picture();
    ASSERT_EQ(picture.width, kWidth);
    ASSERT_EQ(picture.height, kHeight);
    int grid = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const COLORREF p = picture.At(x, y);
            ASSERT_TRUE(p == kBlack || p == kGrid) << x << "," << y;
            grid += p == kGrid ? 1 : 0;
            if (x + 8 < kWidth) {
                ASSERT_EQ(p, picture.At(x + 8, y)) << "period 8 across, at " << x << "," << y;
            }
            if (y + 8 < kHeight) {
                ASSERT_EQ(p, picture.At(x, y + 8)) << "period 8 down, at " << x << "," << y;
            }
        }
    }
    // One vertical and one horizontal line per 8 x 8 cell: 15 of its 64 pixels.
    const int cells = (kWidth / 8) * (kHeight / 8);
    EXPECT_GE(grid, cells * 15);
    EXPECT_LT(grid, (kWidth * kHeight) / 4);

    // A second Init keeps the image it has.
    m_chart.DrawLevel(50);
    m_chart.Init();
    EXPECT_EQ(Pixel(0, Row(50)), kLevel);
}

TEST_F(HistoryChartTest, SetValueClampsAndReturnsThePreviousNewest) {
    struct Row {
        int series;
        int value;
        int returned;
    };
    const Row rows[] = {
        {0, 150, 100},  // stored as 100
        {0, -5, 100},   // stored as 0
        {0, 30, 0},    {0, 100, 30}, {1, 0, 100}, {1, 101, 0},
        {1, 50, 100},  {0, 0, 100},  {2, 10, 0},  // no such series: ignored
        {-1, 10, 0},   {0, 60, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(m_chart.SetValue(row.series, row.value), row.returned)
            << "series " << row.series << " value " << row.value;
    }
}

TEST_F(HistoryChartTest, ClampedValuesDrawFromTheBottomEdgeToTheTopEdge) {
    m_chart.Reset();
    m_chart.SetValue(0, 150);  // previous 100, newest 100
    m_chart.SetValue(0, -5);   // previous 100, newest 0
    m_chart.AddSegment(0);
    EXPECT_EQ(Pixel(kWidth - 8, kHeight - 1), kGreen) << "starts on the bottom edge";
    EXPECT_EQ(Pixel(kWidth - 1, 0), kGreen) << "ends on the top edge";
    EXPECT_EQ(Count(kGreen, 0, 0, kWidth - 10, kHeight), 0);
}

TEST_F(HistoryChartTest, FirstSegmentsAfterResetLieOnTheBottomEdge) {
    for (int flag : {0, 1}) {
        m_chart.Reset();
        m_chart.AddSegment(flag);
        const COLORREF colour = flag != 0 ? kYellow : kGreen;  // series 1 is drawn over series 0
        for (int x = kWidth - 7; x < kWidth; ++x) {
            EXPECT_EQ(Pixel(x, kHeight - 1), colour) << "flag " << flag << " x " << x;
        }
        EXPECT_EQ(
            Count(kGreen, 0, 0, kWidth, kHeight - 2) + Count(kYellow, 0, 0, kWidth, kHeight - 2), 0)
            << "flag " << flag;
    }
}

TEST_F(HistoryChartTest, EqualPositionsDrawAHorizontalSegmentAtTheRightEdge) {
    m_chart.Reset();
    m_chart.SetValue(0, 40);
    m_chart.SetValue(0, 40);
    m_chart.AddSegment(0);
    const int y = Row(40);
    for (int x = kWidth - 8; x < kWidth; ++x) {
        EXPECT_EQ(Pixel(x, y), kGreen) << x;
    }
    // Width 2: the line covers its own row and one neighbour, no more.
    EXPECT_EQ(Count(kGreen, kWidth - 8, 0, kWidth, kHeight), 16);
    EXPECT_EQ(Count(kGreen, 0, 0, kWidth - 9, kHeight), 0);
}

TEST_F(HistoryChartTest, FlagZeroLeavesSeriesOneOut) {
    m_chart.Reset();
    m_chart.SetValue(1, 30);
    m_chart.SetValue(0, 70);
    m_chart.AddSegment(0);
    EXPECT_EQ(Count(kYellow, 0, 0, kWidth, kHeight), 0);
    EXPECT_GT(Count(kGreen, kWidth - 8, 0, kWidth, kHeight), 0);

    m_chart.SetValue(1, 30);
    m_chart.AddSegment(1);
    EXPECT_EQ(Pixel(kWidth - 4, Row(30)), kYellow);
}

TEST_F(HistoryChartTest, ScrollingMovesTheHistoryAndKeepsTheHatchContinuous) {
    const Image grid = Grid();
    m_chart.Reset();
    m_chart.SetValue(0, 20);
    m_chart.SetValue(0, 20);
    m_chart.AddSegment(0);
    m_chart.SetValue(0, 70);
    m_chart.SetValue(0, 70);
    m_chart.SetValue(1, 60);
    m_chart.SetValue(1, 60);
    m_chart.AddSegment(1);
    // The first segment moved one step left; the new strip holds the new one.
    EXPECT_EQ(Pixel(kWidth - 13, Row(20)), kGreen);
    EXPECT_EQ(Pixel(kWidth - 4, Row(20)), grid.At(kWidth - 4, Row(20)));
    EXPECT_EQ(Pixel(kWidth - 4, Row(70)), kGreen);
    EXPECT_EQ(Pixel(kWidth - 4, Row(60)), kYellow);

    // Many more segments: away from the lines, every pixel is the grid of a fresh chart.
    for (int i = 0; i < 45; ++i) {
        m_chart.SetValue(0, 100);
        m_chart.AddSegment(0);
    }
    const Image picture = Picture();
    int compared = 0;
    for (int y = 0; y < kHeight - 2; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_EQ(picture.At(x, y), grid.At(x, y)) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_EQ(compared, kWidth * (kHeight - 2));
}

TEST_F(HistoryChartTest, LevelLineCrossesTheWholeImageAndScrollsAway) {
    const Image grid = Grid();
    m_chart.Reset();
    m_chart.DrawLevel(40);
    const int y = Row(40);
    const Image picture = Picture();
    for (int x = 0; x < kWidth; ++x) {
        ASSERT_EQ(picture.At(x, y), kLevel) << x;
    }
    EXPECT_EQ(Count(kLevel, 0, 0, kWidth, kHeight), kWidth) << "one pixel wide";

    m_chart.AddSegment(0);
    EXPECT_EQ(Pixel(0, y), kLevel);
    EXPECT_EQ(Pixel(kWidth - 9, y), kLevel);
    EXPECT_EQ(Pixel(kWidth - 4, y), grid.At(kWidth - 4, y)) << "the new strip has no level";
}

TEST_F(HistoryChartTest, PaintingCopiesTheImageIntoTheClientArea) {
    m_chart.Reset();
    m_chart.SetValue(0, 30);
    m_chart.SetValue(1, 80);
    m_chart.AddSegment(1);
    m_chart.DrawLevel(55);
    const Image shown = Shown();
    ASSERT_EQ(shown.width, kWidth + 2 * kEdge);
    ASSERT_EQ(shown.height, kHeight + 2 * kEdge);
    EXPECT_EQ(shown.Copy(Box{kEdge, kEdge, kWidth, kHeight}), Picture());
}

TEST_F(HistoryChartTest, ResizedWindowKeepsItsImageUntilResetAndDrawsAtItsClientSize) {
    m_chart.Init();
    constexpr int kSmallWidth = 200;
    constexpr int kSmallHeight = 50;
    m_chart.MoveWindow(10, 10, kSmallWidth + 2 * kEdge, kSmallHeight + 2 * kEdge);
    EXPECT_EQ(Picture().width, kWidth);
    EXPECT_EQ(Picture().height, kHeight);
    m_chart.SetValue(0, 50);
    m_chart.SetValue(0, 50);
    m_chart.AddSegment(0);
    m_chart.DrawLevel(20);
    // The segment ends at the window's right edge on the window's own scale (50 * 50 / 100),
    // so it is what the window shows; the hidden rest of the image gets at most the pen's end.
    for (int x = kSmallWidth - 8; x < kSmallWidth; ++x) {
        EXPECT_EQ(Pixel(x, 25), kGreen) << x;
    }
    EXPECT_EQ(Count(kGreen, kSmallWidth + 1, 0, kWidth, kHeight), 0);
    EXPECT_EQ(Count(kGreen, 0, 27, kWidth, kHeight) + Count(kGreen, 0, 0, kWidth, 23), 0);
    // The level line spans the client width exactly (a one-pixel line stops short of its end
    // point), on the client's scale: row 20 * 50 / 100.
    EXPECT_EQ(Count(kLevel, 0, 0, kWidth, kHeight), kSmallWidth);
    EXPECT_EQ(Pixel(0, 10), kLevel);
    EXPECT_EQ(Pixel(kSmallWidth - 1, 10), kLevel);
    EXPECT_EQ(Shown().Copy(Box{kEdge, kEdge, kSmallWidth, kSmallHeight}),
              Picture().Copy(Box{0, 0, kSmallWidth, kSmallHeight}));

    // Grown past the image: the new strip falls outside it and is lost, the image stays whole.
    m_chart.MoveWindow(10, 10, 380 + 2 * kEdge, 120 + 2 * kEdge);
    m_chart.SetValue(0, 0);
    m_chart.AddSegment(0);
    EXPECT_EQ(Picture().width, kWidth);
    EXPECT_EQ(Picture().height, kHeight);
    EXPECT_EQ(Pixel(kSmallWidth - 12, 25), kGreen) << "the old segment moved one step left";
    EXPECT_EQ(Count(kGreen, 0, 0, kSmallWidth - 17, kHeight), 0);
    EXPECT_EQ(Count(kGreen, kSmallWidth - 7, 0, kWidth, kHeight), 0);

    m_chart.Reset();
    EXPECT_EQ(Picture().width, 380);
    EXPECT_EQ(Picture().height, 120);
}

}  // namespace
