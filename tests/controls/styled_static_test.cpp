// Styled static: attached to a real static as the dialogs attach it, checked on the pixels of its
// window and through the messages other code sends it.
#include "app/controls/styled_static.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/framework/controls.h"
#include "tests/support/bitmap_pixels.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace {

using kesttest::Box;
using kesttest::BoxOfOthers;
using kesttest::HasPixel;
using kesttest::Image;

constexpr int kStaticId = 1068;

// Every pixel tells where it came from: red = column, green = row.
Image CoordinateImage(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.Set(x, y, RGB(x, y, 77));
        }
    }
    return image;
}

// A bitmap handle holding the picture, for the control to own.
HBITMAP Bitmap(const Image& picture) {
    CBitmap bitmap;
    EXPECT_TRUE(kesttest::MakeBitmap(bitmap, picture));
    return static_cast<HBITMAP>(bitmap.Detach());
}

// The size of a text in the font, as a context measures it.
SIZE Extent(CFont& font, const char* text) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&font);
    return dc.GetTextExtent(text);
}

// Counts the paints the control receives.
class CountingStatic : public CStyledStatic {
public:
    int m_nPaints = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) {
            ++m_nPaints;
        }
        return CStyledStatic::WindowProc(message, wParam, lParam);
    }
};

class StyledStaticTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200},
                                    nullptr, 0));
    }
    void TearDown() override { m_host.DestroyWindow(); }

    // A static made from its style and text, then taken over the way data exchange does it.
    void Attach(CStyledStatic& control, const char* text, DWORD style, int width = 100,
                int height = 60) {
        CStatic maker;
        ASSERT_TRUE(maker.Create(text, WS_CHILD | WS_VISIBLE | style, RECT{0, 0, width, height},
                                 &m_host, kStaticId));
        maker.Detach();
        ASSERT_TRUE(control.SubclassDlgItem(kStaticId, &m_host));
    }

    static Image Grab(CStyledStatic& control) { return user::Capture(control.GetSafeHwnd()); }

    CWnd m_host;
};

TEST_F(StyledStaticTest, AttachingDerivesTheAlignmentFromTheStaticStyle) {
    struct Row {
        DWORD style;
        int align;
    };
    const Row rows[] = {
        {SS_LEFT, 0x09},
        {SS_CENTER, 0x0A},
        {SS_RIGHT, 0x0C},
        {SS_CENTER | SS_RIGHT, 0x0C},  // right wins
        {SS_CENTERIMAGE, 0x11},
        {SS_CENTER | SS_CENTERIMAGE, 0x12},
        {SS_RIGHT | SS_CENTERIMAGE, 0x14},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << row.style);
        CStyledStatic control;
        EXPECT_EQ(control.m_nAlign, 0x09);
        Attach(control, "Board", row.style);
        EXPECT_EQ(control.m_nAlign, row.align);
        EXPECT_NE(control.GetStyle() & SS_NOTIFY, 0u);
        EXPECT_EQ(control.m_strText, "Board");
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, ConstructionTakesTheColoursAndFontOfTheMoment) {
    const COLORREF before = GetSysColor(COLOR_WINDOWTEXT);
    CStyledStatic control;
    const int index = COLOR_WINDOWTEXT;
    const COLORREF other = RGB(10, 20, 30);
    ASSERT_TRUE(SetSysColors(1, &index, &other));
    EXPECT_EQ(control.m_crText, before);
    SetSysColors(1, &index, &before);

    const LOGFONT stock = GetStockLogFont(DEFAULT_GUI_FONT);
    EXPECT_EQ(control.m_lf.lfHeight, stock.lfHeight);
    EXPECT_EQ(control.m_lf.lfWeight, stock.lfWeight);
    EXPECT_STREQ(control.m_lf.lfFaceName, stock.lfFaceName);
    EXPECT_EQ(control.m_hBitmap, nullptr);
    EXPECT_FALSE(control.m_bStretch);
    // The embedded tip is never given a text or a window.
    EXPECT_TRUE(control.m_tip.m_strText.IsEmpty());
    EXPECT_EQ(control.m_tip.GetSafeHwnd(), nullptr);
}

TEST_F(StyledStaticTest, PicturesAreCentredOrShownFromTheirTopLeftMovedInByAQuarterOfTheOverhang) {
    struct Row {
        const char* what;
        int bw, bh;
        Box placed;  // where the picture shows in the 100 x 60 control
        POINT from;  // picture pixel at the placed rectangle's top-left
    };
    const Row rows[] = {
        {"smaller, even margins", 40, 20, Box{30, 20, 40, 20}, POINT{0, 0}},
        {"odd margins: the extra column and row on the right and bottom", 41, 21,
         Box{29, 19, 41, 21}, POINT{0, 0}},
        {"40 wider: 10 in from the left, cut at the right", 140, 60, Box{10, 0, 90, 60},
         POINT{0, 0}},
        {"41 wider and 20 taller", 141, 80, Box{10, 5, 90, 55}, POINT{0, 0}},
        {"same size", 100, 60, Box{0, 0, 100, 60}, POINT{0, 0}},
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CStyledStatic control;
        Attach(control, "", SS_LEFT);
        const Image picture = CoordinateImage(row.bw, row.bh);
        control.SetBitmap(Bitmap(picture));
        const Image out = Grab(control);
        ASSERT_EQ(out.width, 100);
        ASSERT_EQ(out.height, 60);
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 100; ++x) {
                if (row.placed.Contains(x, y)) {
                    const int sx = x - row.placed.x + row.from.x;
                    const int sy = y - row.placed.y + row.from.y;
                    ASSERT_EQ(out.At(x, y), picture.At(sx, sy)) << x << "," << y;
                } else {
                    ASSERT_EQ(out.At(x, y), face) << x << "," << y;
                }
            }
        }
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, StretchedPictureCoversTheWholeControlWhateverItsSize) {
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF blue = RGB(0, 0, 255);
    for (const SIZE size : {SIZE{10, 6}, SIZE{300, 180}, SIZE{7, 90}}) {
        SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy);
        CStyledStatic control;
        Attach(control, "", SS_LEFT);
        control.SetBitmap(Bitmap(kesttest::Halves(size.cx, size.cy, red, blue))).SetStretch(TRUE);
        const Image out = Grab(control);
        int reds = 0;
        for (int y = 0; y < out.height; ++y) {
            for (int x = 0; x < out.width; ++x) {
                const COLORREF px = out.At(x, y);
                ASSERT_TRUE(px == red || px == blue) << x << "," << y;
                reds += px == red ? 1 : 0;
            }
        }
        // Both halves scaled, not just copied from the corner.
        EXPECT_NEAR(reds, out.width * out.height / 2, out.height * 15);
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, BitmapResourcesAreFoundByTheLowWordOfTheirId) {
    CStyledStatic control;
    Attach(control, "", SS_LEFT);
    CBitmap banner;
    ASSERT_TRUE(banner.LoadBitmap(157));
    control.SetBitmap(0x10000 | 157);
    EXPECT_EQ(user::BitmapPixels(control.m_hBitmap), user::BitmapPixels(banner));
    control.SetBitmap(-1);
    EXPECT_EQ(control.m_hBitmap, nullptr);
    control.SetBitmap(157).SetBitmap(4242);  // no such picture
    EXPECT_EQ(control.m_hBitmap, nullptr);
    const Image out = Grab(control);
    EXPECT_TRUE(BoxOfOthers(out, GetSysColor(COLOR_BTNFACE)).Empty());
}

TEST_F(StyledStaticTest, TextOverAPictureIsDrawnStraightUnlessItIsSeveralLinesNotAtTheTop) {
    const COLORREF green = RGB(0, 160, 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Row {
        const char* text;
        DWORD style;
        bool block;  // drawn as a text block with its own button-face background
    };
    const Row rows[] = {
        {"AB", SS_CENTER | SS_CENTERIMAGE, false},
        {"A\nB", SS_CENTER, false},
        {"A\nB", SS_CENTER | SS_CENTERIMAGE, true},
        {"A\nB", SS_RIGHT | SS_CENTERIMAGE, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CStyledStatic control;
        Attach(control, row.text, row.style);
        control.SetBitmap(Bitmap(kesttest::Solid(100, 60, green)));
        const Image out = Grab(control);
        EXPECT_EQ(HasPixel(out, face), row.block);
        // Some text was drawn: dark pixels that are neither picture nor button face.
        const Box dark =
            kesttest::BoxWhere(out, [](COLORREF px) { return kesttest::Gray(px) < 64; });
        EXPECT_FALSE(dark.Empty());
        if (row.block) {
            // The block's extent: widest line by two line heights, centred vertically.
            const int lineHeight = Extent(control.m_font, "A").cy;
            const Box box = BoxOfOthers(out, green);
            EXPECT_EQ(box.height, 2 * lineHeight);
            EXPECT_EQ(box.y, (60 - 2 * lineHeight) / 2);
        }
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, ColoursAreTakenAtPaintTimeAndStraightTextIgnoresTheControlColour) {
    const int indices[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
    const COLORREF saved[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)};
    const COLORREF green = RGB(0, 160, 0);
    const COLORREF red = RGB(255, 0, 0);
    struct Row {
        const char* what;
        bool picture;
        COLORREF background;  // colour at the control's top-left corner
        COLORREF text;        // colour of the glyphs' solid pixels
        COLORREF absent;      // colour that must not appear
    };
    // The system colours are changed after construction, so only paint-time reads see them.
    const COLORREF face = RGB(210, 190, 120);
    const COLORREF windowText = RGB(20, 40, 200);
    const Row rows[] = {
        {"text block: the control's colour on the current button face", false, face, red,
         windowText},
        {"straight onto the picture: the current window-text colour", true, green, windowText, red},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CStyledStatic control;
        Attach(control, "", SS_CENTER | SS_CENTERIMAGE, 200, 50);
        control.m_crText = RGB(255, 0, 0);
        const COLORREF now[] = {face, windowText};
        ASSERT_TRUE(SetSysColors(2, indices, now));
        control.SetText("MW").SetFontSize(-30).SetFontBold(TRUE);
        if (row.picture) {
            control.SetBitmap(Bitmap(kesttest::Solid(40, 20, green))).SetStretch(TRUE);
        }
        const Image out = Grab(control);
        SetSysColors(2, indices, saved);
        EXPECT_EQ(out.At(0, 0), row.background);
        EXPECT_TRUE(HasPixel(out, row.text));
        EXPECT_FALSE(HasPixel(out, row.absent));
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, BottomTextOnAPictureSitsInTheLastLineHeight) {
    const COLORREF green = RGB(0, 160, 0);
    CStyledStatic control;
    Attach(control, "Bottom", SS_LEFT);
    control.m_nAlign = CStyledStatic::kAlignRight | CStyledStatic::kAlignBottom;
    control.SetBitmap(Bitmap(kesttest::Solid(100, 60, green)));
    const Image out = Grab(control);
    const SIZE text = Extent(control.m_font, "Bottom");
    const Box ink = BoxOfOthers(out, green);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.y, 60 - text.cy);
    EXPECT_GE(ink.x, 100 - text.cx - 1);
}

TEST_F(StyledStaticTest, HeadingInItsOwnFontIsAlignedRightAtTheTop) {
    CStyledStatic control;
    Attach(control, "", SS_RIGHT, 300, 40);
    control.SetText("HARDWARE DETAILS").SetFontName("Tahoma").SetFontSize(20).SetFontBold(TRUE);
    EXPECT_EQ(control.m_lf.lfHeight, 20);
    EXPECT_EQ(control.m_lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(control.m_lf.lfFaceName, "Tahoma");
    LOGFONT made{};
    ASSERT_NE(control.m_font.GetLogFont(&made), 0);
    EXPECT_GE(made.lfWeight, FW_BOLD);
    // A positive height asks for the cell height.
    const SIZE text = Extent(control.m_font, "HARDWARE DETAILS");
    EXPECT_NEAR(text.cy, 20, 1);

    const Image out = Grab(control);
    const Box ink = BoxOfOthers(out, GetSysColor(COLOR_BTNFACE));
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.x, 300 - text.cx - 1);
    EXPECT_GE(ink.Right(), 300 - 4);
    EXPECT_LT(ink.Bottom(), text.cy);
    EXPECT_TRUE(HasPixel(out, control.m_crText));
    // Wider than the text in the stock font: the font was really applied.
    CStyledStatic plain;
    EXPECT_GT(text.cx, Extent(plain.m_font, "HARDWARE DETAILS").cx);
}

TEST_F(StyledStaticTest, ReadingTheTextIntoFiveCharactersGivesFourAndAZero) {
    CStyledStatic control;
    Attach(control, "", SS_RIGHT);
    control.SetText("HARDWARE DETAILS");

    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(control.SendMessage(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_STREQ(buffer, "HARD");
    EXPECT_EQ(buffer[5], 'x');

    // No room for even the zero: nothing written.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(control.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(control.SendMessage(WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');

    CString whole;
    control.GetWindowText(whole);
    EXPECT_EQ(whole, "HARDWARE DETAILS");
}

TEST_F(StyledStaticTest, TextSetFromOutsideChangesTheWindowTextAndThePaintedText) {
    CStyledStatic outside;
    Attach(outside, "Old", SS_CENTER | SS_CENTERIMAGE);
    const Image before = Grab(outside);
    outside.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New text"));
    EXPECT_EQ(outside.m_strText, "New text");
    // The window's own text changed too: what a screen reader reads.
    EXPECT_EQ(user::AccessibleName(outside.GetSafeHwnd()), "New text");
    const Image after = Grab(outside);
    EXPECT_NE(after, before);
    outside.DestroyWindow();

    CStyledStatic inside;
    Attach(inside, "Old", SS_CENTER | SS_CENTERIMAGE);
    inside.SetText("New text");
    EXPECT_EQ(Grab(inside), after);
}

TEST_F(StyledStaticTest, DisablingRepaintsOnceWithTheTextEmbossed) {
    CountingStatic control;
    Attach(control, "", SS_CENTER | SS_CENTERIMAGE, 200, 50);
    control.SetText("Off").SetFontSize(-30).SetFontBold(TRUE);
    user::Settle();
    const Image enabled = Grab(control);
    const COLORREF text = control.m_crText;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_TRUE(HasPixel(enabled, text));

    control.m_nPaints = 0;
    control.EnableWindow(FALSE);
    user::Settle();
    EXPECT_EQ(control.m_nPaints, 1);

    const Image disabled = Grab(control);
    EXPECT_FALSE(HasPixel(disabled, text));
    EXPECT_TRUE(HasPixel(disabled, shadow));
    EXPECT_TRUE(HasPixel(disabled, highlight));
    // Back on: plain text again.
    control.EnableWindow(TRUE);
    user::Settle();
    EXPECT_EQ(Grab(control), enabled);
}

}  // namespace
