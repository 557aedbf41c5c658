// Text block renderer, checked on the pixels it leaves in an offscreen bitmap. Expected positions
// come from the metrics the drawing interface reports for the font in use, never from fixed pixel
// sizes.
#include "app/controls/text_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/framework/app.h"
#include "tests/support/bitmap_pixels.h"
#include "tests/support/window_system.h"

namespace {

using kesttest::Box;
using kesttest::BoxOfOthers;
using kesttest::Image;

constexpr COLORREF kTargetFill = RGB(255, 0, 255);  // magenta: untouched target pixels
constexpr COLORREF kBack = RGB(0, 255, 255);        // cyan block background
constexpr COLORREF kText = RGB(255, 0, 0);

// Aliased text, so that every pixel is exactly one of the colours the renderer chose.
void MakeTestFont(CFont& font) {
    LOGFONT lf{};
    lf.lfHeight = -13;
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    font.CreateFontIndirect(&lf);
}

// The size of a text in the test font.
SIZE Extent(const std::string& text) {
    CFont font;
    MakeTestFont(font);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&font);
    return dc.GetTextExtent(text.c_str());
}

// A memory context on a magenta bitmap, with the test font selected.
struct Target {
    explicit Target(int width = 240, int height = 90) {
        EXPECT_TRUE(kesttest::MakeBitmap(bitmap, kesttest::Solid(width, height, kTargetFill)));
        MakeTestFont(font);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.SelectObject(&font);
    }
    Image Finish() { return user::BitmapPixels(bitmap); }
    CBitmap bitmap;
    CFont font;
    CDC dc;
};

// The block image a text renders to, cut to the block's extent.
Image BlockImage(const std::string& text, int hAlign, BOOL emboss = FALSE) {
    Target target;
    CTextBlock block(&target.dc, text.c_str(), hAlign, 0);
    block.m_crBack = kBack;
    block.m_crText = kText;
    block.m_bEmboss = emboss;
    EXPECT_TRUE(block.Build());
    const RECT& rc = block.m_rcBlock;
    return user::BitmapPixels(block.m_bmpBlock)
        .Copy(Box{0, 0, rc.right - rc.left, rc.bottom - rc.top});
}

TEST(TextBlockTest, AlignmentCodesPlaceTheBlockWithTruncatingHalves) {
    const int cw = Extent("Ab").cx;
    const int ch = Extent("Ab").cy;
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
            const Image out = target.Finish();
            EXPECT_EQ(BoxOfOthers(out, kTargetFill), (Box{xFor[hAlign], yFor[vAlign], cw, ch}));
        }
    }
}

TEST(TextBlockTest, CentredBlockOf51PixelsInA100PixelRectangleStartsAt24) {
    // Find a text whose advance is exactly 51 pixels in this font.
    std::string text;
    for (int wide = 0; wide < 10 && text.empty(); ++wide) {
        for (int narrow = 0; narrow < 60 && text.empty(); ++narrow) {
            const std::string candidate = std::string(wide, 'W') + std::string(narrow, 'i');
            if (Extent(candidate).cx == 51) {
                text = candidate;
            }
        }
    }
    ASSERT_FALSE(text.empty()) << "no 51-pixel text in the test font";

    Target target;
    CTextBlock block(&target.dc, text.c_str(), 1, 0);
    block.m_crBack = kBack;
    ASSERT_TRUE(block.Build());
    block.Draw(0, 0, 100, 40);
    const Image out = target.Finish();
    const Box box = BoxOfOthers(out, kTargetFill);
    EXPECT_EQ(box.x, 24);
    EXPECT_EQ(box.width, 51);
}

TEST(TextBlockTest, WideBlockIsCutAtTheRightEdgeAndShownFromItsLeftPart) {
    const std::string text = "A rather long heading";
    const Image whole = BlockImage(text, 0);
    const int cw = whole.width;
    const int ch = whole.height;
    const int w = cw - 17;
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        for (int vAlign = 0; vAlign < 3; ++vAlign) {
            SCOPED_TRACE(testing::Message() << "h=" << hAlign << " v=" << vAlign);
            Target target;
            CTextBlock block(&target.dc, text.c_str(), hAlign, vAlign);
            block.m_crBack = kBack;
            block.m_crText = kText;
            ASSERT_TRUE(block.Build());
            // Too narrow and too short: clipped on both axes, never scaled.
            block.Draw(0, 0, w, ch - 3);
            const Image out = target.Finish();
            // The block's left part is the text as left-aligned (the widest line fills the block).
            EXPECT_EQ(out.Copy(Box{0, 0, w, ch - 3}), whole.Copy(Box{0, 0, w, ch - 3}));
            EXPECT_EQ(BoxOfOthers(out, kTargetFill), (Box{0, 0, w, ch - 3}));
            // The unclipped extent is kept for the next call.
            EXPECT_EQ(block.m_rcBlock.right, cw);
            EXPECT_EQ(block.m_rcBlock.bottom, ch);
        }
    }
}

TEST(TextBlockTest, EachLineIsAlignedInTheFullBlockWidthInBandsOfEqualHeight) {
    const int ch = Extent("ab").cy;
    const std::string wide = "Wide words";
    const int slack = Extent(wide).cx - Extent("ab").cx;
    ASSERT_GT(slack, 10);

    std::vector<Box> secondLine;
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        const Image img = BlockImage(wide + "\nab", hAlign);
        ASSERT_EQ(img.height, 2 * ch);
        ASSERT_EQ(img.width, Extent(wide).cx);
        const Box first = BoxOfOthers(img, kBack, Box{0, 0, img.width, ch});
        const Box second = BoxOfOthers(img, kBack, Box{0, ch, img.width, ch});
        ASSERT_FALSE(first.Empty());
        ASSERT_FALSE(second.Empty());
        // Glyphs sit at the same height inside their own bands.
        const Image alone = BlockImage("ab", 0);
        EXPECT_EQ(second.y - ch, BoxOfOthers(alone, kBack).y);
        secondLine.push_back(second);
    }
    EXPECT_EQ(secondLine[1].x - secondLine[0].x, slack / 2);
    EXPECT_EQ(secondLine[2].x - secondLine[0].x, slack);
    EXPECT_EQ(secondLine[2].width, secondLine[0].width);
}

TEST(TextBlockTest, BlankPiecesBetweenLineFeedsAreNotLines) {
    for (int hAlign = 0; hAlign < 3; ++hAlign) {
        SCOPED_TRACE(hAlign);
        const Image one = BlockImage("Wide words\nab", hAlign);
        EXPECT_EQ(BlockImage("Wide words\n\nab", hAlign), one);
        EXPECT_EQ(BlockImage("\nWide words\n\n\nab\n", hAlign), one);
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
        const Image out = target.Finish();
        EXPECT_TRUE(BoxOfOthers(out, kTargetFill).Empty());
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
    const Image out = target.Finish();
    EXPECT_TRUE(BoxOfOthers(out, kTargetFill).Empty());
}

TEST(TextBlockTest, EmbossDrawsAShadowLineOverALightCopyOnePixelDownRight) {
    const COLORREF back = kBack;
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(highlight, shadow);
    ASSERT_NE(highlight, back);
    ASSERT_NE(shadow, back);

    const std::string text = "Tip\nDisabled";
    const Image plain = BlockImage(text, 1);
    const Image embossed = BlockImage(text, 1, TRUE);
    ASSERT_EQ(plain.width, embossed.width);
    ASSERT_EQ(plain.height, embossed.height);

    int highlights = 0;
    for (int y = 0; y < embossed.height; ++y) {
        for (int x = 0; x < embossed.width; ++x) {
            const COLORREF px = embossed.At(x, y);
            ASSERT_TRUE(px == back || px == highlight || px == shadow) << x << "," << y;
            // The shadow line sits exactly where the plain text is.
            EXPECT_EQ(px == shadow, plain.At(x, y) == kText) << x << "," << y;
            if (px == highlight) {
                ++highlights;
                // Every light pixel is the shifted copy of a text pixel not covered by the shadow.
                ASSERT_GT(x, 0);
                ASSERT_GT(y, 0);
                EXPECT_EQ(plain.At(x - 1, y - 1), kText) << x << "," << y;
            }
        }
    }
    EXPECT_GT(highlights, 0);
    // And every text pixel casts its light copy unless the shadow line covers that spot.
    for (int y = 0; y + 1 < plain.height; ++y) {
        for (int x = 0; x + 1 < plain.width; ++x) {
            if (plain.At(x, y) == kText) {
                EXPECT_NE(embossed.At(x + 1, y + 1), back) << x << "," << y;
            }
        }
    }
}

}  // namespace
