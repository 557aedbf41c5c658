// Styled static: attached to a real static as the dialogs attach it, checked on the pixels of its
// window and through the messages other code sends it.
#include "app/controls/styled_static.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>

#include "app/framework/qt/app_qt.h"
#include "app/framework/controls.h"
#include "app/framework/qt/gdi_qt.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

constexpr int kStaticId = 1068;

QRgb Opaque(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

QRect BoxOfOthers(const QImage& image, QRgb background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

bool HasPixel(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

// Every pixel tells where it came from: red = column, green = row.
QImage CoordinateImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x, y, 77));
        }
    }
    return image;
}

QImage SolidImage(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
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

    static QImage Grab(CStyledStatic& control) {
        return WidgetOf(control.GetSafeHwnd())
            ->grab()
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

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
        EXPECT_EQ(control.m_strText, QStringLiteral("Board"));
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
        QRect placed;  // where the picture shows in the 100 x 60 control
        QPoint from;   // picture pixel at the placed rectangle's top-left
    };
    const Row rows[] = {
        {"smaller, even margins", 40, 20, QRect(30, 20, 40, 20), QPoint(0, 0)},
        {"odd margins: the extra column and row on the right and bottom", 41, 21,
         QRect(29, 19, 41, 21), QPoint(0, 0)},
        {"40 wider: 10 in from the left, cut at the right", 140, 60, QRect(10, 0, 90, 60),
         QPoint(0, 0)},
        {"41 wider and 20 taller", 141, 80, QRect(10, 5, 90, 55), QPoint(0, 0)},
        {"same size", 100, 60, QRect(0, 0, 100, 60), QPoint(0, 0)},
    };
    const QRgb face = Opaque(GetSysColor(COLOR_BTNFACE));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CStyledStatic control;
        Attach(control, "", SS_LEFT);
        const QImage picture = CoordinateImage(row.bw, row.bh);
        control.SetBitmap(BitmapFromImage(picture));
        const QImage out = Grab(control);
        ASSERT_EQ(out.size(), QSize(100, 60));
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 100; ++x) {
                const QPoint p(x, y);
                if (row.placed.contains(p)) {
                    const QPoint src = p - row.placed.topLeft() + row.from;
                    ASSERT_EQ(out.pixel(p), picture.pixel(src)) << x << "," << y;
                } else {
                    ASSERT_EQ(out.pixel(p), face) << x << "," << y;
                }
            }
        }
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, StretchedPictureCoversTheWholeControlWhateverItsSize) {
    for (const QSize size : {QSize(10, 6), QSize(300, 180), QSize(7, 90)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QImage picture(size, QImage::Format_RGB32);
        QPainter(&picture).fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::red);
        QPainter(&picture).fillRect(
            QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), Qt::blue);
        CStyledStatic control;
        Attach(control, "", SS_LEFT);
        control.SetBitmap(BitmapFromImage(picture)).SetStretch(TRUE);
        const QImage out = Grab(control);
        int reds = 0;
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                const QRgb px = out.pixel(x, y);
                ASSERT_TRUE(px == qRgb(255, 0, 0) || px == qRgb(0, 0, 255)) << x << "," << y;
                reds += px == qRgb(255, 0, 0) ? 1 : 0;
            }
        }
        // Both halves scaled, not just copied from the corner.
        EXPECT_NEAR(reds, out.width() * out.height() / 2, out.height() * 15);
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, BitmapResourcesAreFoundByTheLowWordOfTheirId) {
    CStyledStatic control;
    Attach(control, "", SS_LEFT);
    const QImage banner = LoadBitmapResource(157);
    ASSERT_FALSE(banner.isNull());
    control.SetBitmap(0x10000 | 157);
    EXPECT_EQ(QtImageOf(control.m_hBitmap), banner);
    control.SetBitmap(-1);
    EXPECT_EQ(control.m_hBitmap, nullptr);
    control.SetBitmap(157).SetBitmap(4242);  // no such picture
    EXPECT_EQ(control.m_hBitmap, nullptr);
    const QImage out = Grab(control);
    EXPECT_TRUE(BoxOfOthers(out, Opaque(GetSysColor(COLOR_BTNFACE))).isEmpty());
}

TEST_F(StyledStaticTest, TextOverAPictureIsDrawnStraightUnlessItIsSeveralLinesNotAtTheTop) {
    const QRgb green = qRgb(0, 160, 0);
    const QRgb face = Opaque(GetSysColor(COLOR_BTNFACE));
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
        control.SetBitmap(BitmapFromImage(SolidImage(100, 60, green)));
        const QImage out = Grab(control);
        EXPECT_EQ(HasPixel(out, face), row.block);
        // Some text was drawn: dark pixels that are neither picture nor button face.
        bool dark = false;
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                dark = dark || qGray(out.pixel(x, y)) < 64;
            }
        }
        EXPECT_TRUE(dark);
        if (row.block) {
            // The block's extent: widest line by two line heights, centred vertically.
            const QFontMetrics fm(QtFontOf(control.m_font));
            const QRect box = BoxOfOthers(out, green);
            EXPECT_EQ(box.height(), 2 * fm.height());
            EXPECT_EQ(box.top(), (60 - 2 * fm.height()) / 2);
        }
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, ColoursAreTakenAtPaintTimeAndStraightTextIgnoresTheControlColour) {
    const int indices[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
    const COLORREF saved[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)};
    const QRgb green = qRgb(0, 160, 0);
    const QRgb red = qRgb(255, 0, 0);
    struct Row {
        const char* what;
        bool picture;
        QRgb background;  // colour at the control's top-left corner
        QRgb text;        // colour of the glyphs' solid pixels
        QRgb absent;      // colour that must not appear
    };
    // The system colours are changed after construction, so only paint-time reads see them.
    const QRgb face = qRgb(210, 190, 120);
    const QRgb windowText = qRgb(20, 40, 200);
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
        const COLORREF now[] = {RGB(qRed(face), qGreen(face), qBlue(face)),
                                RGB(qRed(windowText), qGreen(windowText), qBlue(windowText))};
        ASSERT_TRUE(SetSysColors(2, indices, now));
        control.SetText("MW").SetFontSize(-30).SetFontBold(TRUE);
        if (row.picture) {
            control.SetBitmap(BitmapFromImage(SolidImage(40, 20, green))).SetStretch(TRUE);
        }
        const QImage out = Grab(control);
        SetSysColors(2, indices, saved);
        EXPECT_EQ(out.pixel(0, 0), row.background);
        EXPECT_TRUE(HasPixel(out, row.text));
        EXPECT_FALSE(HasPixel(out, row.absent));
        control.DestroyWindow();
    }
}

TEST_F(StyledStaticTest, BottomTextOnAPictureSitsInTheLastLineHeight) {
    const QRgb green = qRgb(0, 160, 0);
    CStyledStatic control;
    Attach(control, "Bottom", SS_LEFT);
    control.m_nAlign = CStyledStatic::kAlignRight | CStyledStatic::kAlignBottom;
    control.SetBitmap(BitmapFromImage(SolidImage(100, 60, green)));
    const QImage out = Grab(control);
    const QFontMetrics fm(QtFontOf(control.m_font));
    const QRect ink = BoxOfOthers(out, green);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 60 - fm.height());
    EXPECT_GE(ink.left(), 100 - fm.horizontalAdvance(QStringLiteral("Bottom")) - 1);
}

TEST_F(StyledStaticTest, HeadingInItsOwnFontIsAlignedRightAtTheTop) {
    CStyledStatic control;
    Attach(control, "", SS_RIGHT, 300, 40);
    control.SetText("HARDWARE DETAILS").SetFontName("Tahoma").SetFontSize(20).SetFontBold(TRUE);
    EXPECT_EQ(control.m_lf.lfHeight, 20);
    EXPECT_EQ(control.m_lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(control.m_lf.lfFaceName, "Tahoma");
    const QFont font = QtFontOf(control.m_font);
    EXPECT_TRUE(font.bold());
    // A positive height asks for the cell height.
    EXPECT_NEAR(QFontMetrics(font).height(), 20, 1);

    const QImage out = Grab(control);
    const QFontMetrics fm(font);
    const int cw = fm.horizontalAdvance(QStringLiteral("HARDWARE DETAILS"));
    const QRect ink = BoxOfOthers(out, Opaque(GetSysColor(COLOR_BTNFACE)));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 300 - cw - 1);
    EXPECT_GE(ink.right(), 300 - 4);
    EXPECT_LT(ink.bottom(), fm.height());
    EXPECT_TRUE(HasPixel(out, Opaque(control.m_crText)));
    // Wider than the text in the stock font: the font was really applied.
    CStyledStatic plain;
    EXPECT_GT(
        cw,
        QFontMetrics(QtFontOf(plain.m_font)).horizontalAdvance(QStringLiteral("HARDWARE DETAILS")));
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
    EXPECT_EQ(whole, QStringLiteral("HARDWARE DETAILS"));
}

TEST_F(StyledStaticTest, TextSetFromOutsideChangesTheWindowTextAndThePaintedText) {
    CStyledStatic outside;
    Attach(outside, "Old", SS_CENTER | SS_CENTERIMAGE);
    const QImage before = Grab(outside);
    outside.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New text"));
    EXPECT_EQ(outside.m_strText, QStringLiteral("New text"));
    EXPECT_EQ(WidgetText(WidgetOf(outside.GetSafeHwnd())), "New text");
    const QImage after = Grab(outside);
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
    QApplication::processEvents();
    const QImage enabled = Grab(control);
    const QRgb text = Opaque(control.m_crText);
    const QRgb shadow = Opaque(GetSysColor(COLOR_BTNSHADOW));
    const QRgb highlight = Opaque(GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_TRUE(HasPixel(enabled, text));

    control.m_nPaints = 0;
    control.EnableWindow(FALSE);
    QApplication::processEvents();
    EXPECT_EQ(control.m_nPaints, 1);

    const QImage disabled = Grab(control);
    EXPECT_FALSE(HasPixel(disabled, text));
    EXPECT_TRUE(HasPixel(disabled, shadow));
    EXPECT_TRUE(HasPixel(disabled, highlight));
    // Back on: plain text again.
    control.EnableWindow(TRUE);
    QApplication::processEvents();
    EXPECT_EQ(Grab(control), enabled);
}

}  // namespace
