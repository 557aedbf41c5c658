// Drawing through CDC, checked pixel by pixel on small memory bitmaps: each primitive with the
// rules a Windows program relies on (end points, hatch backgrounds, clipped blits, selection).
#include "app/framework/gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A white memory bitmap selected into a memory context.
struct Canvas {
    Canvas(int width, int height) : w(width), h(height) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, w, h);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, kWhite);
        dc.SetBkColor(kWhite);
    }
    // One string per row: '.' white, 'r' red, 'b' blue, 'k' black, '?' anything else.
    std::vector<std::string> Picture() const {
        std::vector<std::string> rows;
        for (int y = 0; y < h; ++y) {
            std::string row;
            for (int x = 0; x < w; ++x) {
                const COLORREF c = dc.GetPixel(x, y);
                row += c == kWhite   ? '.'
                       : c == kRed   ? 'r'
                       : c == kBlue  ? 'b'
                       : c == kBlack ? 'k'
                                     : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }
    int w;
    int h;
    CBitmap bitmap;
    CDC dc;
};

void Line(CDC& dc, int nWidth, int x0, int y0, int x1, int y1) {
    CPen pen(PS_SOLID, nWidth, kRed);
    CPen* pOld = dc.SelectObject(&pen);
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
    dc.SelectObject(pOld);
}

// A 4 x 2 source: red on the top row, blue on the bottom one.
void WithSource(const std::function<void(CDC&)>& use) {
    Canvas source(4, 2);
    source.dc.FillSolidRect(0, 0, 4, 1, kRed);
    source.dc.FillSolidRect(0, 1, 4, 1, kBlue);
    use(source.dc);
}

struct Row {
    const char* name;
    int w;
    int h;
    std::function<void(CDC&)> draw;
    std::vector<std::string> expected;
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {"FillSolidRect covers left/top, not right/bottom",
         6,
         4,
         [](CDC& dc) { dc.FillSolidRect(1, 1, 3, 2, kRed); },
         {"......", ".rrr..", ".rrr..", "......"}},
        {"FillRect with a solid brush",
         6,
         4,
         [](CDC& dc) {
             CBrush brush(kBlue);
             const RECT rc{2, 0, 6, 2};
             dc.FillRect(&rc, &brush);
         },
         {"..bbbb", "..bbbb", "......", "......"}},
        {"thin line leaves out its end point",
         6,
         3,
         [](CDC& dc) { Line(dc, 1, 1, 1, 5, 1); },
         {"......", ".rrrr.", "......"}},
        {"thin line drawn right to left",
         6,
         3,
         [](CDC& dc) { Line(dc, 1, 5, 1, 1, 1); },
         {"......", "..rrrr", "......"}},
        {"thin vertical and diagonal lines",
         5,
         5,
         [](CDC& dc) {
             Line(dc, 1, 0, 0, 0, 4);
             Line(dc, 1, 1, 0, 5, 4);
         },
         {"rr...", "r.r..", "r..r.", "r...r", "....."}},
        {"wide pen has round ends half its width beyond both points",
         8,
         5,
         [](CDC& dc) { Line(dc, 2, 2, 2, 6, 2); },
         {"........", ".rrrrrr.", ".rrrrrr.", "........", "........"}},
        // The cross hatch has a period of 8 pixels, its lines on row 3 and column 4 of each cell.
        {"hatch in opaque mode fills its background",
         9,
         9,
         [](CDC& dc) {
             CBrush brush(HS_CROSS, kRed);
             dc.SetBkColor(kBlack);
             const RECT rc{0, 0, 9, 9};
             dc.FillRect(&rc, &brush);
         },
         {"kkkkrkkkk", "kkkkrkkkk", "kkkkrkkkk", "rrrrrrrrr", "kkkkrkkkk", "kkkkrkkkk", "kkkkrkkkk",
          "kkkkrkkkk", "kkkkrkkkk"}},
        {"hatch in transparent mode draws only its lines",
         9,
         4,
         [](CDC& dc) {
             CBrush brush(HS_CROSS, kRed);
             dc.SetBkColor(kBlack);
             dc.SetBkMode(TRANSPARENT);
             const RECT rc{0, 0, 9, 4};
             dc.FillRect(&rc, &brush);
         },
         {"....r....", "....r....", "....r....", "rrrrrrrrr"}},
        {"BitBlt copies only what lies inside the source",
         6,
         3,
         [](CDC& dc) { WithSource([&](CDC& src) { dc.BitBlt(1, 0, 6, 6, &src, 2, 0, SRCCOPY); }); },
         {".rr...", ".bb...", "......"}},
        {"BitBlt of a bitmap onto itself scrolls it",
         6,
         2,
         [](CDC& dc) {
             dc.FillSolidRect(0, 0, 2, 2, kRed);
             dc.FillSolidRect(4, 0, 2, 2, kBlue);
             dc.BitBlt(0, 0, 6, 2, &dc, 2, 0, SRCCOPY);
         },
         {"..bbbb", "..bbbb"}},
        {"StretchBlt scales the source rectangle",
         8,
         4,
         [](CDC& dc) {
             WithSource([&](CDC& src) { dc.StretchBlt(0, 0, 8, 4, &src, 0, 0, 4, 2, SRCCOPY); });
         },
         {"rrrrrrrr", "rrrrrrrr", "bbbbbbbb", "bbbbbbbb"}},
    };
    return rows;
}

TEST(GdiTest, EachPrimitiveDrawsExactlyItsPixels) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        Canvas canvas(row.w, row.h);
        row.draw(canvas.dc);
        EXPECT_EQ(canvas.Picture(), row.expected);
    }
}

TEST(GdiTest, SelectionReturnsThePreviousObjectAndFillSolidRectSetsTheBackground) {
    Canvas canvas(2, 2);
    CPen first(PS_SOLID, 1, kRed);
    CPen second(PS_SOLID, 1, kBlue);
    EXPECT_EQ(canvas.dc.SelectObject(&first), nullptr);
    EXPECT_EQ(canvas.dc.SelectObject(&second), &first);
    EXPECT_EQ(canvas.dc.SelectObject(static_cast<CPen*>(nullptr)), &second);
    canvas.dc.FillSolidRect(0, 0, 1, 1, kBlue);
    EXPECT_EQ(canvas.dc.GetBkColor(), kBlue);
    EXPECT_EQ(canvas.dc.GetPixel(2, 0), CLR_INVALID);
    BITMAP bm{};
    ASSERT_NE(canvas.bitmap.GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(bm.bmHeight, 2);
}

TEST(GdiTest, SelectingNoFontPutsBackTheContextsOwnWhichAMemoryContextMadeForItTakes) {
    Canvas canvas(2, 2);
    const CString text("WWWW");
    const SIZE own = canvas.dc.GetTextExtent(text);
    CFont big;
    ASSERT_TRUE(big.CreatePointFont(360, GetStockLogFont(DEFAULT_GUI_FONT).lfFaceName));
    EXPECT_EQ(canvas.dc.SelectObject(&big), nullptr);
    EXPECT_GT(canvas.dc.GetTextExtent(text).cy, own.cy);
    CDC made;
    ASSERT_TRUE(made.CreateCompatibleDC(&canvas.dc));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&canvas.dc, 2, 2));
    made.SelectObject(&bitmap);
    EXPECT_EQ(made.GetTextExtent(text).cy, own.cy);
    EXPECT_EQ(canvas.dc.SelectObject(static_cast<CFont*>(nullptr)), &big);
    EXPECT_EQ(canvas.dc.GetTextExtent(text).cy, own.cy);
    made.DeleteDC();
}

// The dialog face's cell as the system measures the Tahoma-metric font: a negative height is
// the em, a positive one the whole cell, met by the largest em that is not taller.
TEST(GdiTest, TextCellsOfTheDialogFaceAreTheSystems) {
#ifndef _WIN32
    if (!std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf")) {
        GTEST_SKIP() << "no Tahoma-metric font";
    }
#endif
    struct Case {
        LONG lfHeight;
        LONG cell;
    };
    const Case cases[] = {{-11, 13}, {-13, 16}, {-20, 24}, {12, 12}, {13, 13}, {20, 19}};
    Canvas canvas(2, 2);
    for (const Case& c : cases) {
        LOGFONT lf{};
        lf.lfHeight = c.lfHeight;
        lf.lfWeight = FW_NORMAL;
        std::strcpy(lf.lfFaceName, "Tahoma");
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        CFont* old = canvas.dc.SelectObject(&font);
        EXPECT_EQ(canvas.dc.GetTextExtent(CString("Xg")).cy, c.cell) << "height " << c.lfHeight;
        canvas.dc.SelectObject(old);
    }
}

// A colour request hands the handler a context without a handle: it only keeps what was asked.
TEST(GdiTest, AContextWithoutAHandleKeepsTheColoursItIsGiven) {
    CDC dc;
    EXPECT_FALSE(dc.TextColorSet());
    EXPECT_FALSE(dc.BkColorSet());
    dc.SetTextColor(kRed);
    EXPECT_EQ(dc.SetTextColor(kBlue), kRed);
    dc.SetBkColor(kBlack);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_TRUE(dc.TextColorSet());
    EXPECT_TRUE(dc.BkColorSet());
    EXPECT_EQ(dc.GetTextColor(), kBlue);
    EXPECT_EQ(dc.GetBkColor(), kBlack);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.GetSafeHdc(), nullptr);
}

// Whether any pixel of the canvas differs from white, counting inside and outside a rectangle.
struct Ink {
    int inside = 0;
    int outside = 0;
};

Ink InkAround(const Canvas& canvas, const RECT& rc) {
    Ink ink;
    for (int y = 0; y < canvas.h; ++y) {
        for (int x = 0; x < canvas.w; ++x) {
            if (canvas.dc.GetPixel(x, y) != kWhite) {
                const bool in = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
                ++(in ? ink.inside : ink.outside);
            }
        }
    }
    return ink;
}

TEST(GdiTest, TextIsClippedToItsRectangleUnlessToldNotTo) {
    for (const UINT nNoClip : {UINT{0}, UINT{DT_NOCLIP}}) {
        SCOPED_TRACE(nNoClip);
        Canvas canvas(80, 30);
        LOGFONT lf = GetStockLogFont(DEFAULT_GUI_FONT);
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        canvas.dc.SelectObject(&font);
        canvas.dc.SetTextColor(kBlack);
        canvas.dc.SetBkMode(TRANSPARENT);
        const CString text("WWWWWWWWWW");
        ASSERT_GT(canvas.dc.GetTextExtent(text).cx, 40);  // wider than the rectangle below
        RECT rc{20, 5, 50, 25};
        canvas.dc.DrawText(text, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | nNoClip);
        const Ink ink = InkAround(canvas, rc);
        EXPECT_GT(ink.inside, 0);
        EXPECT_EQ(ink.outside > 0, nNoClip != 0);
    }
}

}  // namespace
