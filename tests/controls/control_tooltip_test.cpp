// Tool tip windows: class registration, the timer's show/hide decisions (with the user's hand
// played by the test), placement next to the owner, painting and destruction.
#include "app/controls/control_tooltip.h"

#include <gtest/gtest.h>

#include "app/framework/app.h"
#include "app/framework/controls.h"
#include "tests/controls/hand_tip.h"
#include "tests/support/image.h"
#include "tests/support/window_system.h"

namespace {

using kesttest::Box;
using kesttest::BoxOf;
using kesttest::Image;

// Bounding box of the dark pixels (text in black, antialiased).
Box BoxOfDark(const Image& image) {
    return kesttest::BoxWhere(image, [](COLORREF px) { return kesttest::Gray(px) < 110; });
}

// The height of a line in the dialog font.
int DialogLineHeight() {
    const LOGFONT lf = GetStockLogFont(DEFAULT_GUI_FONT);
    CFont font;
    font.CreateFontIndirect(&lf);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&font);
    return dc.GetTextExtent("W").cy;
}

using kesttest::ControlToolTipTest;
using kesttest::HandTip;

TEST_F(ControlToolTipTest, ConstructionRegistersTheWindowClassAndSetsTheDefaults) {
    HandTip tip;
    const ToolTipWindowClass* cls = FindToolTipWindowClass();
    ASSERT_NE(cls, nullptr);
    EXPECT_STREQ(cls->lpszClassName, "ControlToolTip");
    EXPECT_EQ(cls->style, 0x0808u);
    EXPECT_EQ(cls->nBackground, 25);
    EXPECT_EQ(cls->cursor, IDC_ARROW);
    HandTip second;
    EXPECT_EQ(FindToolTipWindowClass(), cls);

    EXPECT_EQ(tip.m_pOwner, nullptr);
    EXPECT_TRUE(tip.m_strText.IsEmpty());
    EXPECT_EQ(tip.m_nPlacement, 0);
    EXPECT_EQ(tip.m_clrText, GetSysColor(COLOR_INFOTEXT));
    EXPECT_EQ(tip.m_clrBack, GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(tip.m_bFill, 0);
    EXPECT_EQ(tip.m_bNeedButton, 1);
    EXPECT_EQ(tip.m_bLeftButton, 1);
    EXPECT_EQ(tip.GetSafeHwnd(), nullptr);

    // A tip without a window or owner does nothing when asked to show.
    tip.m_strText = "Tip";
    tip.Show();
    tip.Tick();
    EXPECT_EQ(tip.GetSafeHwnd(), nullptr);
}

TEST_F(ControlToolTipTest, TheWindowIsAnInactivePopupOfItsClass) {
    HandTip tip;
    MakeTip(tip);
    ASSERT_NE(tip.GetSafeHwnd(), nullptr);
    EXPECT_EQ(::GetParent(tip.GetSafeHwnd()), nullptr);  // a window of its own, not a child
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_EQ(tip.m_pOwner, &m_owner);
}

TEST_F(ControlToolTipTest, TimerShowsAndHidesByCursorButtonAndFocus) {
    enum Focus { kNone, kSibling, kElsewhere };
    struct Row {
        const char* what;
        int needButton;
        int leftButton;
        int dx, dy;  // cursor relative to the owner's top-left on screen; 999 = outside
        BOOL left, right;
        Focus focus;
        bool visibleBefore;
        bool visibleAfter;
    };
    const Row rows[] = {
        {"inside, left held, same dialog", 1, 1, 5, 5, TRUE, FALSE, kSibling, false, true},
        {"inside, no button", 1, 1, 5, 5, FALSE, FALSE, kSibling, false, false},
        {"inside, only the right button", 1, 1, 5, 5, FALSE, TRUE, kSibling, false, false},
        {"right button chosen and held", 1, 0, 5, 5, FALSE, TRUE, kSibling, false, true},
        {"no button needed", 0, 1, 5, 5, FALSE, FALSE, kSibling, false, true},
        {"focus in another dialog", 1, 1, 5, 5, TRUE, FALSE, kElsewhere, false, false},
        {"no focus anywhere", 1, 1, 5, 5, TRUE, FALSE, kNone, false, false},
        {"bottom-right edge counts as inside", 1, 1, 100, 30, TRUE, FALSE, kSibling, false, true},
        {"one past the edge is outside", 1, 1, 101, 30, TRUE, FALSE, kSibling, false, false},
        {"outside hides a visible tip", 1, 1, 999, 999, TRUE, FALSE, kSibling, true, false},
        {"button released hides it", 1, 1, 5, 5, FALSE, FALSE, kSibling, true, false},
        {"focus gone elsewhere hides it", 1, 1, 5, 5, TRUE, FALSE, kElsewhere, true, false},
        {"stays up while all holds", 1, 1, 5, 5, TRUE, FALSE, kSibling, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HandTip tip;
        MakeTip(tip);
        tip.m_bNeedButton = row.needButton;
        tip.m_bLeftButton = row.leftButton;
        if (row.visibleBefore) {
            tip.Show();
            ASSERT_TRUE(tip.IsWindowVisible());
        }
        const RECT owner = OwnerOnScreen();
        tip.m_cursor = row.dx == 999 ? POINT{owner.right + 40, owner.bottom + 40}
                                     : POINT{owner.left + row.dx, owner.top + row.dy};
        tip.m_bLeftDown = row.left;
        tip.m_bRightDown = row.right;
        tip.m_focus = row.focus == kSibling     ? m_sibling.GetSafeHwnd()
                      : row.focus == kElsewhere ? m_elsewhere.GetSafeHwnd()
                                                : nullptr;
        tip.Tick();
        EXPECT_EQ(tip.IsWindowVisible() != FALSE, row.visibleAfter);
        // Only timer 1 is the tip's.
        tip.Tick(2);
        EXPECT_EQ(tip.IsWindowVisible() != FALSE, row.visibleAfter);
    }
}

TEST_F(ControlToolTipTest, ATopLevelOwnerMatchesWhenNothingHasTheFocus) {
    struct Row {
        const char* what;
        bool focusSomewhere;
        bool visibleAfter;
    };
    const Row rows[] = {
        {"no focus: no parent on either side", false, true},
        {"focus inside a dialog: its parent is not the owner's", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HandTip tip;
        tip.m_rcTip = RECT{0, 0, 60, 18};
        tip.m_strText = "Tip";
        ASSERT_TRUE(tip.Create(&m_other));
        RECT owner;
        m_other.GetWindowRect(&owner);
        tip.m_cursor = POINT{owner.left + 3, owner.top + 3};
        tip.m_bLeftDown = TRUE;
        tip.m_focus = row.focusSomewhere ? m_sibling.GetSafeHwnd() : nullptr;
        tip.Tick();
        EXPECT_EQ(tip.IsWindowVisible() != FALSE, row.visibleAfter);
    }
}

TEST_F(ControlToolTipTest, ShowPlacesTheTipAtBelowOrAboveTheOwner) {
    struct Row {
        int placement;
        int dy;  // from the owner's client origin on screen
    };
    const Row rows[] = {{0, 0}, {1, 30}, {2, -18}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.placement);
        HandTip tip;
        MakeTip(tip);
        tip.m_nPlacement = row.placement;
        tip.Show();
        ASSERT_TRUE(tip.IsWindowVisible());
        POINT origin{0, 0};
        m_owner.ClientToScreen(&origin);
        RECT rc;
        tip.GetWindowRect(&rc);
        EXPECT_EQ(rc.left, origin.x);
        EXPECT_EQ(rc.top, origin.y + row.dy);
        EXPECT_EQ(rc.right - rc.left, 60);
        EXPECT_EQ(rc.bottom - rc.top, 18);
    }
}

TEST_F(ControlToolTipTest, ShowWithoutTextHidesTheTip) {
    HandTip tip;
    MakeTip(tip);
    tip.Show();
    ASSERT_TRUE(tip.IsWindowVisible());
    tip.m_strText.Empty();
    tip.Show();
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_NE(tip.GetSafeHwnd(), nullptr);
}

TEST_F(ControlToolTipTest, PaintsOnTheClassBackgroundOrFillsItsRectangle) {
    const COLORREF infoBk = GetSysColor(COLOR_INFOBK);
    {
        HandTip tip;
        MakeTip(tip);
        tip.m_strText = "WWW";
        tip.Show();
        const Image out = user::Capture(tip.GetSafeHwnd());
        // Transparent text in the context's default black on the class brush.
        // Left- and top-aligned in the tip's rectangle.
        const Box ink = BoxOfDark(out);
        ASSERT_FALSE(ink.Empty());
        EXPECT_LT(ink.x, 3);
        EXPECT_LT(ink.Bottom(), DialogLineHeight());  // inside the first line
        EXPECT_LT(ink.Right(), 40);
        EXPECT_EQ(out.At(out.width - 1, out.height - 1), infoBk);
    }
    {
        HandTip tip;
        tip.m_rcTip = RECT{0, 0, 60, 18};
        tip.m_strText = "WWW";
        ASSERT_TRUE(tip.Create(&m_owner));
        tip.m_bFill = 1;
        tip.m_clrBack = RGB(200, 230, 255);
        tip.m_clrText = RGB(255, 140, 0);
        tip.Show();
        const Image out = user::Capture(tip.GetSafeHwnd());
        EXPECT_EQ(BoxOf(out, infoBk), Box());
        EXPECT_EQ(out.At(out.width - 1, out.height - 1), RGB(200, 230, 255));
        // The text in the tip's own colour, not the default black.
        const Box orange = kesttest::BoxWhere(
            out, [](COLORREF px) { return GetRValue(px) > 230 && GetBValue(px) < 100; });
        EXPECT_FALSE(orange.Empty());
        EXPECT_TRUE(BoxOfDark(out).Empty());
    }
}

TEST_F(ControlToolTipTest, HideForgetsTheOwnerStopsTheTimerAndDestroysTheWindow) {
    HandTip tip;
    MakeTip(tip);
    ASSERT_EQ(tip.SetTimer(1, 200), 1u);
    tip.Show();
    const HWND window = tip.GetSafeHwnd();
    tip.Hide();
    EXPECT_EQ(tip.m_pOwner, nullptr);
    EXPECT_EQ(tip.GetSafeHwnd(), nullptr);
    EXPECT_EQ(tip.GetTimerPeriod(1), 0u);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ControlToolTipTest, DestructionTakesTheWindowAlong) {
    HWND window = nullptr;
    {
        HandTip tip;
        MakeTip(tip);
        tip.Show();
        window = tip.GetSafeHwnd();
        ASSERT_TRUE(::IsWindow(window));
    }
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ControlToolTipTest, EnableAndDisableOnlySwitchTheWindow) {
    HandTip tip;
    MakeTip(tip);
    tip.Disable();
    EXPECT_FALSE(tip.IsWindowEnabled());
    EXPECT_EQ(tip.m_pOwner, &m_owner);
    tip.Enable();
    EXPECT_TRUE(tip.IsWindowEnabled());
}

}  // namespace
