// The program's pictures as the windows load them: every bitmap at the pixel size its window is
// laid out for, drawn with some detail, and every icon present.
#include <gtest/gtest.h>

#include <set>

#include "app/framework/app.h"
#include "app/framework/gdi.h"
#include "app/res/resource_ids.h"
#include "tests/support/window_system.h"

namespace {

struct Picture {
    int nId;
    int nWidth;
    int nHeight;
};

const Picture kBitmaps[] = {
    {kBitmapConfirm, 102, 31},    {kBitmapClockScale, 200, 5},  {kBitmapBoard9700, 236, 210},
    {kBitmapBanner, 625, 155},    {kBitmapFan, 19, 18},         {kBitmapThermometer, 19, 18},
    {kBitmapBoard9500, 239, 199}, {kBitmapBoard9200, 225, 211}, {kBitmapBoard9600And9800, 244, 194},
    {kBitmapLogo, 32, 33},
};

TEST(ArtworkTest, EveryBitmapLoadsAtItsSizeAndShowsSomething) {
    for (const Picture& picture : kBitmaps) {
        SCOPED_TRACE(picture.nId);
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(static_cast<UINT>(picture.nId)));
        BITMAP bm{};
        ASSERT_NE(bitmap.GetBitmap(&bm), 0);
        EXPECT_EQ(bm.bmWidth, picture.nWidth);
        EXPECT_EQ(bm.bmHeight, picture.nHeight);
        const kesttest::Image pixels = user::BitmapPixels(bitmap);
        const std::set<COLORREF> colours(pixels.pixels.begin(), pixels.pixels.end());
        EXPECT_GE(colours.size(), 4u) << "a picture, not a blank";
    }
}

TEST(ArtworkTest, EveryIconLoads) {
    for (int id : {kIconProgram, kIconHint}) {
        EXPECT_NE(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(id)), nullptr) << id;
    }
    EXPECT_EQ(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(4242)), nullptr);
}

}  // namespace
