// The system side of drawing through CDC: what the context leaves selected in its handle, and
// which face the stock dialog font names.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/framework/gdi.h"

namespace {

struct Kind {
    const char* name;
    UINT nObjectType;
    // Selects the program's object of this kind and returns its handle; then selects null.
    std::function<HGDIOBJ(CDC&)> select;
    std::function<void(CDC&)> deselect;
};

TEST(GdiWin32Test, SelectingNullPutsTheHandlesOriginalObjectBack) {
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush brush(RGB(0, 0, 255));
    CFont font;
    const LOGFONT lf = GetStockLogFont(DEFAULT_GUI_FONT);
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 4, 4));
    const Kind kinds[] = {
        {"pen", OBJ_PEN, [&](CDC& dc) { return dc.SelectObject(&pen), pen.GetSafeHandle(); },
         [](CDC& dc) { dc.SelectObject(static_cast<CPen*>(nullptr)); }},
        {"brush", OBJ_BRUSH,
         [&](CDC& dc) { return dc.SelectObject(&brush), brush.GetSafeHandle(); },
         [](CDC& dc) { dc.SelectObject(static_cast<CBrush*>(nullptr)); }},
        {"font", OBJ_FONT, [&](CDC& dc) { return dc.SelectObject(&font), font.GetSafeHandle(); },
         [](CDC& dc) { dc.SelectObject(static_cast<CFont*>(nullptr)); }},
        {"bitmap", OBJ_BITMAP,
         [&](CDC& dc) { return dc.SelectObject(&bitmap), bitmap.GetSafeHandle(); },
         [](CDC& dc) { dc.SelectObject(static_cast<CBitmap*>(nullptr)); }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        const HGDIOBJ original = GetCurrentObject(dc.GetSafeHdc(), kind.nObjectType);
        const HGDIOBJ selected = kind.select(dc);
        EXPECT_EQ(GetCurrentObject(dc.GetSafeHdc(), kind.nObjectType), selected);
        kind.deselect(dc);
        EXPECT_EQ(GetCurrentObject(dc.GetSafeHdc(), kind.nObjectType), original);
    }
}

TEST(GdiWin32Test, TheStockDialogFontIsTahomaAtEightPoints) {
    const LOGFONT lf = GetStockLogFont(DEFAULT_GUI_FONT);
    EXPECT_EQ(std::string(lf.lfFaceName), "Tahoma");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    // The face the system draws it with.
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SelectObject(&font);
    char face[LF_FACESIZE] = {};
    GetTextFace(dc.GetSafeHdc(), LF_FACESIZE, face);
    EXPECT_EQ(std::string(face), "Tahoma");
    dc.SelectObject(static_cast<CFont*>(nullptr));
}

}  // namespace
