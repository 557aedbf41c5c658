// Tool tip windows: class registration, the timer's show/hide decisions (with the user's hand
// played by the test), placement next to the owner, painting and destruction.
#include "app/controls/control_tooltip.h"
#include "app/framework/qt/gdi_qt.h"

#include <QFontMetrics>
#include <QImage>
#include <QPointer>
#include <gtest/gtest.h>

#include <QWidget>

#include "app/framework/app.h"
#include "app/framework/controls.h"
#include "app/framework/qt/wnd_internal.h"

namespace {

QRgb Opaque(COLORREF cr) {
    return qRgb(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

QRect BoxOf(const QImage& image, QRgb colour) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// Bounding box of the dark pixels (text in black, antialiased).
QRect BoxOfDark(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 110) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// A tip whose cursor, buttons and focus the test decides.
class HandTip : public CControlToolTip {
public:
    POINT m_cursor{0, 0};
    BOOL m_bLeftDown = FALSE;
    BOOL m_bRightDown = FALSE;
    HWND m_focus = nullptr;

    void Tick(UINT_PTR id = 1) { SendMessage(WM_TIMER, id, 0); }

protected:
    POINT QueryCursorPos() const override { return m_cursor; }
    BOOL IsButtonHeld(BOOL bLeft) const override { return bLeft ? m_bLeftDown : m_bRightDown; }
    HWND QueryFocusWindow() const override { return m_focus; }
};

class ControlToolTipTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dialog.CreateEx(0, nullptr, "dialog", WS_POPUP | WS_VISIBLE,
                                      RECT{100, 50, 400, 250}, nullptr, 0));
        ASSERT_TRUE(m_other.CreateEx(0, nullptr, "other", WS_POPUP | WS_VISIBLE,
                                     RECT{500, 50, 600, 150}, nullptr, 0));
        ASSERT_TRUE(
            m_owner.Create("Owner", WS_CHILD | WS_VISIBLE, RECT{20, 30, 120, 60}, &m_dialog, 1001));
        ASSERT_TRUE(m_sibling.Create("Sibling", WS_CHILD | WS_VISIBLE, RECT{20, 80, 120, 100},
                                     &m_dialog, 1002));
        ASSERT_TRUE(m_elsewhere.Create("Elsewhere", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20},
                                       &m_other, 1003));
    }
    void TearDown() override {
        m_other.DestroyWindow();
        m_dialog.DestroyWindow();
    }

    RECT OwnerOnScreen() {
        RECT rc;
        m_owner.GetWindowRect(&rc);
        return rc;
    }

    void MakeTip(HandTip& tip) {
        tip.m_rcTip = RECT{0, 0, 60, 18};
        tip.m_strText = "Tip";
        ASSERT_TRUE(tip.Create(&m_owner));
    }

    CWnd m_dialog;
    CWnd m_other;
    CStatic m_owner;
    CStatic m_sibling;
    CStatic m_elsewhere;
};

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
    QWidget* w = WidgetOf(tip.GetSafeHwnd());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->objectName(), QStringLiteral("ControlToolTip"));
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
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
    const QRgb infoBk = Opaque(GetSysColor(COLOR_INFOBK));
    {
        HandTip tip;
        MakeTip(tip);
        tip.m_strText = "WWW";
        tip.Show();
        const QImage out =
            WidgetOf(tip.GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // Transparent text in the context's default black on the class brush.
        // Left- and top-aligned in the tip's rectangle.
        const QRect ink = BoxOfDark(out);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_LT(ink.left(), 3);
        EXPECT_LT(ink.top(),
                  QFontMetrics(FontFromLogFont(GetStockLogFont(DEFAULT_GUI_FONT))).ascent());
        EXPECT_LT(ink.right(), 40);
        EXPECT_EQ(out.pixel(out.width() - 1, out.height() - 1), infoBk);
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
        const QImage out =
            WidgetOf(tip.GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(BoxOf(out, infoBk), QRect());
        EXPECT_EQ(out.pixel(out.width() - 1, out.height() - 1), qRgb(200, 230, 255));
        // The text in the tip's own colour, not the default black.
        bool orange = false;
        for (int y = 0; y < out.height(); ++y) {
            for (int x = 0; x < out.width(); ++x) {
                const QRgb px = out.pixel(x, y);
                orange = orange || (qRed(px) > 230 && qBlue(px) < 100);
            }
        }
        EXPECT_TRUE(orange);
        EXPECT_TRUE(BoxOfDark(out).isEmpty());
    }
}

TEST_F(ControlToolTipTest, HideForgetsTheOwnerStopsTheTimerAndDestroysTheWindow) {
    HandTip tip;
    MakeTip(tip);
    ASSERT_EQ(tip.SetTimer(1, 200), 1u);
    tip.Show();
    QPointer<QWidget> window = WidgetOf(tip.GetSafeHwnd());
    tip.Hide();
    EXPECT_EQ(tip.m_pOwner, nullptr);
    EXPECT_EQ(tip.GetSafeHwnd(), nullptr);
    EXPECT_EQ(tip.GetTimerPeriod(1), 0u);
    EXPECT_TRUE(window.isNull());
}

TEST_F(ControlToolTipTest, DestructionTakesTheWindowAlong) {
    QPointer<QWidget> window;
    {
        HandTip tip;
        MakeTip(tip);
        tip.Show();
        window = WidgetOf(tip.GetSafeHwnd());
        ASSERT_FALSE(window.isNull());
    }
    EXPECT_TRUE(window.isNull());
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
