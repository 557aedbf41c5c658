// Text block renderer, checked on the pixels it leaves in an offscreen image. Expected positions
// come from the metrics Qt reports for the font in use, never from fixed pixel sizes.
#include "app/controls/text_block.h"
#include "app/framework/app.h"
#include "app/framework/qt/gdi_qt.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

constexpr QRgb kTargetFill = 0xFFFF00FF;      // magenta: untouched target pixels
constexpr COLORREF kBack = RGB(0, 255, 255);  // cyan block background
constexpr COLORREF kText = RGB(255, 0, 0);

QRgb Opaque(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// Aliased text, so that every pixel is exactly one of the colours the renderer chose.
QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Bounding box of the pixels of `image` inside `area` that differ from `background`.
QRect BoxOfOthers(const QImage& image, const QRect& area, QRgb background) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != background) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// A memory context on a magenta bitmap, with the test font selected.
struct Target {
    explicit Target(int width = 240, int height = 90) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(kTargetFill);
        bitmap.Attach(BitmapFromImage(image));
        SetQtFont(font, TestFont());
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.SelectObject(&font);
    }
    QImage Finish() { return QtImageOf(bitmap); }
    CBitmap bitmap;
    CFont font;
    CDC dc;
};

// The block image a text renders to, cut to the block's extent.
QImage BlockImage(const QString& text, int hAlign, BOOL emboss = FALSE) {
    Target target;
    CTextBlock block(&target.dc, FromQt(text), hAlign, 0);
    block.m_crBack = kBack;
    block.m_crText = kText;
    block.m_bEmboss = emboss;
    EXPECT_TRUE(block.Build());
    const RECT& rc = block.m_rcBlock;
    return QtImageOf(block.m_bmpBlock).copy(0, 0, rc.right - rc.left, rc.bottom - rc.top);
}

TEST(TextBlockTest, AlignmentCodesPlaceTheBlockWithTruncatingHalves) {
    const QFontMetrics fm(TestFont());
    const int cw = fm.horizontalAdvance(QStringLiteral("Ab"));
    const int ch = fm.height();
    // Odd slack on both axes: centre and middle must truncate, not round.
    const int w = cw + 49;
    const int h = ch + 9;
    const int xFor[] = {0, 24, 49};
    const int yFor[] = {0, 4, 9};
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        for (int vAlign = 0; vAlign < 3; ++vAlign) {
            SCOPED_TRACE(testing::Message() << "h=" << hAlign << " v=" << vAlign);
            Target target;
            CTextBlock block(&target.dc, "Ab", hAlign, vAlign);
            block.m_crBack = kBack;
            ASSERT_TRUE(block.Build());
            EXPECT_NE(block.Draw(0, 0, w, h), 0);
            const QImage out = target.Finish();
            EXPECT_EQ(BoxOfOthers(out, out.rect(), kTargetFill),
                      QRect(xFor[hAlign], yFor[vAlign], cw, ch));
        }
    }
}

TEST(TextBlockTest, CentredBlockOf51PixelsInA100PixelRectangleStartsAt24) {
    const QFontMetrics fm(TestFont());
    // Find a text whose advance is exactly 51 pixels in this font.
    QString text;
    for (int wide = 0; wide < 10 && text.isEmpty(); ++wide) {
        for (int narrow = 0; narrow < 60 && text.isEmpty(); ++narrow) {
            const QString candidate = QString(wide, QLatin1Char('W')) + QString(narrow, 'i');
            if (fm.horizontalAdvance(candidate) == 51) {
                text = candidate;
            }
        }
    }
    ASSERT_FALSE(text.isEmpty()) << "no 51-pixel text in the test font";

    Target target;
    CTextBlock block(&target.dc, FromQt(text), 1, 0);
    block.m_crBack = kBack;
    ASSERT_TRUE(block.Build());
    block.Draw(0, 0, 100, 40);
    const QImage out = target.Finish();
    const QRect box = BoxOfOthers(out, out.rect(), kTargetFill);
    EXPECT_EQ(box.left(), 24);
    EXPECT_EQ(box.width(), 51);
}

TEST(TextBlockTest, WideBlockIsCutAtTheRightEdgeAndShownFromItsLeftPart) {
    const QString text = QStringLiteral("A rather long heading");
    const QImage whole = BlockImage(text, 0);
    const int cw = whole.width();
    const int ch = whole.height();
    const int w = cw - 17;
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        for (int vAlign = 0; vAlign < 3; ++vAlign) {
            SCOPED_TRACE(testing::Message() << "h=" << hAlign << " v=" << vAlign);
            Target target;
            CTextBlock block(&target.dc, FromQt(text), hAlign, vAlign);
            block.m_crBack = kBack;
            block.m_crText = kText;
            ASSERT_TRUE(block.Build());
            // Too narrow and too short: clipped on both axes, never scaled.
            block.Draw(0, 0, w, ch - 3);
            const QImage out = target.Finish();
            // The block's left part is the text as left-aligned (the widest line fills the block).
            EXPECT_EQ(out.copy(0, 0, w, ch - 3), whole.copy(0, 0, w, ch - 3));
            EXPECT_EQ(BoxOfOthers(out, out.rect(), kTargetFill), QRect(0, 0, w, ch - 3));
            // The unclipped extent is kept for the next call.
            EXPECT_EQ(block.m_rcBlock.right, cw);
            EXPECT_EQ(block.m_rcBlock.bottom, ch);
        }
    }
}

TEST(TextBlockTest, EachLineIsAlignedInTheFullBlockWidthInBandsOfEqualHeight) {
    const QFontMetrics fm(TestFont());
    const int ch = fm.height();
    const QString wide = QStringLiteral("Wide words");
    const int slack = fm.horizontalAdvance(wide) - fm.horizontalAdvance(QStringLiteral("ab"));
    ASSERT_GT(slack, 10);

    std::vector<QRect> secondLine;
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        const QImage img = BlockImage(wide + QStringLiteral("\nab"), hAlign);
        ASSERT_EQ(img.height(), 2 * ch);
        ASSERT_EQ(img.width(), fm.horizontalAdvance(wide));
        const QRect first = BoxOfOthers(img, QRect(0, 0, img.width(), ch), Opaque(kBack));
        const QRect second = BoxOfOthers(img, QRect(0, ch, img.width(), ch), Opaque(kBack));
        ASSERT_FALSE(first.isEmpty());
        ASSERT_FALSE(second.isEmpty());
        // Glyphs sit at the same height inside their own bands.
        const QImage alone = BlockImage(QStringLiteral("ab"), 0);
        EXPECT_EQ(second.top() - ch, BoxOfOthers(alone, alone.rect(), Opaque(kBack)).top());
        secondLine.push_back(second);
    }
    EXPECT_EQ(secondLine[1].left() - secondLine[0].left(), slack / 2);
    EXPECT_EQ(secondLine[2].left() - secondLine[0].left(), slack);
    EXPECT_EQ(secondLine[2].width(), secondLine[0].width());
}

TEST(TextBlockTest, BlankPiecesBetweenLineFeedsAreNotLines) {
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        SCOPED_TRACE(hAlign);
        const QImage one = BlockImage(QStringLiteral("Wide words\nab"), hAlign);
        EXPECT_EQ(BlockImage(QStringLiteral("Wide words\n\nab"), hAlign), one);
        EXPECT_EQ(BlockImage(QStringLiteral("\nWide words\n\n\nab\n"), hAlign), one);
    }
}

TEST(TextBlockTest, EmptyTextBuildsAnEmptyBlockThatDrawsNothing) {
    for (const char* text : {"", "\n", "\n\n"}) {
        SCOPED_TRACE(text);
        Target target;
        CTextBlock block(&target.dc, text, 1, 1);
        block.m_crBack = kBack;
        ASSERT_TRUE(block.Build());
        EXPECT_EQ(block.m_rcBlock.right, 0);
        EXPECT_EQ(block.m_rcBlock.bottom, 0);
        EXPECT_NE(block.Draw(0, 0, 100, 40), 0);
        const QImage out = target.Finish();
        EXPECT_TRUE(BoxOfOthers(out, out.rect(), kTargetFill).isEmpty());
    }
}

TEST(TextBlockTest, DrawWithoutABlockReturnsZeroAndReleaseEmptiesTheExtent) {
    Target target;
    CTextBlock block(&target.dc, "Ab", 0, 0);
    EXPECT_EQ(block.Draw(0, 0, 100, 40), 0);
    ASSERT_TRUE(block.Build());
    EXPECT_GT(block.m_rcBlock.right, 0);
    block.Release();
    EXPECT_EQ(block.m_hdcBlock, nullptr);
    EXPECT_EQ(block.m_rcBlock.right, 0);
    EXPECT_EQ(block.m_rcBlock.bottom, 0);
    EXPECT_EQ(block.Draw(0, 0, 100, 40), 0);
    const QImage out = target.Finish();
    EXPECT_TRUE(BoxOfOthers(out, out.rect(), kTargetFill).isEmpty());
}

TEST(TextBlockTest, EmbossDrawsAShadowLineOverALightCopyOnePixelDownRight) {
    const QRgb back = Opaque(kBack);
    const QRgb highlight = Opaque(GetSysColor(COLOR_BTNHIGHLIGHT));
    const QRgb shadow = Opaque(GetSysColor(COLOR_BTNSHADOW));
    ASSERT_NE(highlight, shadow);
    ASSERT_NE(highlight, back);
    ASSERT_NE(shadow, back);

    const QString text = QStringLiteral("Tip\nDisabled");
    const QImage plain = BlockImage(text, 1);
    const QImage embossed = BlockImage(text, 1, TRUE);
    ASSERT_EQ(plain.size(), embossed.size());

    int highlights = 0;
    for (int y = 0; y < embossed.height(); ++y) {
        for (int x = 0; x < embossed.width(); ++x) {
            const QRgb px = embossed.pixel(x, y);
            ASSERT_TRUE(px == back || px == highlight || px == shadow) << x << "," << y;
            // The shadow line sits exactly where the plain text is.
            EXPECT_EQ(px == shadow, plain.pixel(x, y) == Opaque(kText)) << x << "," << y;
            if (px == highlight) {
                ++highlights;
                // Every light pixel is the shifted copy of a text pixel not covered by the shadow.
                ASSERT_GT(x, 0);
                ASSERT_GT(y, 0);
                EXPECT_EQ(plain.pixel(x - 1, y - 1), Opaque(kText)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(highlights, 0);
    // And every text pixel casts its light copy unless the shadow line covers that spot.
    for (int y = 0; y + 1 < plain.height(); ++y) {
        for (int x = 0; x + 1 < plain.width(); ++x) {
            if (plain.pixel(x, y) == Opaque(kText)) {
                EXPECT_NE(embossed.pixel(x + 1, y + 1), back) << x << "," << y;
            }
        }
    }
}

}  // namespace
