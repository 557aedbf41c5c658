// The confirm-and-revert dialog, driven tick by tick through its timer handler.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/clock/clock_confirm_dlg.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace {

CString Text(CWnd& wnd) {
    CString s;
    wnd.GetWindowText(s);
    return s;
}

CString Shown(CDialog& dlg, int id) {
    return dlg.GetDlgItemHwnd(id) != nullptr ? user::ShownText(dlg.GetDlgItemHwnd(id))
                                             : CString("<no control>");
}

class ClockConfirmTest : public ::testing::Test {
protected:
    void TearDown() override { SetModalDialogHook({}); }

    // Runs the dialog modally with `drive` called once it is on screen; DoModal's result.
    INT_PTR Run(const std::function<void(CClockConfirmDlg&)>& drive) {
        m_dlg.m_strSummary = "VPU SPEED->400 MHz/MEMORY SPEED->600 MHz";
        SetModalDialogHook([&](CDialog& d) { drive(static_cast<CClockConfirmDlg&>(d)); });
        return m_dlg.DoModal();
    }

    CClockConfirmDlg m_dlg;
};

TEST_F(ClockConfirmTest, ConstructedEmptyOnTemplate135) {
    EXPECT_EQ(m_dlg.GetTemplateID(), 135u);
    EXPECT_TRUE(m_dlg.m_strSummary.IsEmpty());
    EXPECT_EQ(m_dlg.m_nTicks, 0);
}

TEST_F(ClockConfirmTest, OpensWithTheQuestionBuiltFromTheSummaryAndTenSecondsLeft) {
    bool checked = false;
    const INT_PTR result = Run([&](CClockConfirmDlg& d) {
        EXPECT_EQ(Text(d), "Pelagon System Monitor");
        EXPECT_EQ(Text(d.m_stMessage),
                  "New clock settings will be: VPU SPEED->400 MHz/MEMORY SPEED->600 MHz. "
                  "Do you want to keep the settings?");
        // What is on screen is the new question; the template's text was never shown.
        EXPECT_EQ(Shown(d, 1025), Text(d.m_stMessage));
        EXPECT_EQ(Text(d.m_stCountdown), "Reverting in: 10 seconds");
        EXPECT_EQ(d.GetTimerPeriod(1), 1000u);
        EXPECT_EQ(d.m_nTicks, 0);
        user::Settle();  // the dialog becomes the active window
        EXPECT_EQ(::GetFocus(), d.GetDlgItemHwnd(IDOK));
        checked = true;
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ClockConfirmTest, UntouchedItCountsDownAndRevertsOnTheTenthTick) {
    std::vector<std::string> seen;
    bool stillOpenAfterNine = false;
    const INT_PTR result = Run([&](CClockConfirmDlg& d) {
        for (int tick = 1; tick <= 9; ++tick) {
            d.SendMessage(WM_TIMER, 1);
            seen.push_back(Text(d.m_stCountdown).GetStdString());
            EXPECT_EQ(d.m_nTicks, tick);
        }
        stillOpenAfterNine = d.IsWindowVisible() != FALSE;
        d.SendMessage(WM_TIMER, 1);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(stillOpenAfterNine);
    EXPECT_EQ(seen, (std::vector<std::string>{"Reverting in: 9 seconds", "Reverting in: 8 seconds",
                                              "Reverting in: 7 seconds", "Reverting in: 6 seconds",
                                              "Reverting in: 5 seconds", "Reverting in: 4 seconds",
                                              "Reverting in: 3 seconds", "Reverting in: 2 seconds",
                                              "Reverting in: 1 seconds"}));
    EXPECT_EQ(m_dlg.m_nTicks, 0);
    EXPECT_EQ(m_dlg.GetSafeHwnd(), nullptr);
}

TEST_F(ClockConfirmTest, AnyTimerIdCounts) {
    const INT_PTR result = Run([](CClockConfirmDlg& d) {
        d.SendMessage(WM_TIMER, 7);
        EXPECT_EQ(Text(d.m_stCountdown), "Reverting in: 9 seconds");
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(ClockConfirmTest, EachWayOut) {
    struct Row {
        const char* way;
        int ticksFirst;
        std::function<void(CClockConfirmDlg&)> act;
        INT_PTR result;
    };
    const std::vector<Row> rows = {
        {"OK while 1 is shown", 9, [](CClockConfirmDlg& d) { user::Click(d.GetDlgItemHwnd(IDOK)); },
         IDOK},
        {"Enter", 3, [](CClockConfirmDlg& d) { user::Key(d.GetSafeHwnd(), user::kReturn); }, IDOK},
        {"Cancel", 2, [](CClockConfirmDlg& d) { user::Click(d.GetDlgItemHwnd(IDCANCEL)); },
         IDCANCEL},
        {"Escape", 5, [](CClockConfirmDlg& d) { user::Key(d.GetSafeHwnd(), user::kEscape); },
         IDCANCEL},
        {"close box", 1, [](CClockConfirmDlg& d) { user::Close(d.GetSafeHwnd()); }, IDCANCEL},
        {"Escape before any tick", 0,
         [](CClockConfirmDlg& d) { user::Key(d.GetSafeHwnd(), user::kEscape); }, IDCANCEL},
    };
    for (const Row& row : rows) {
        CClockConfirmDlg dlg;
        dlg.m_strSummary = "VPU SPEED->400 MHz/MEMORY SPEED->600 MHz";
        SetModalDialogHook([&](CDialog& d) {
            auto& c = static_cast<CClockConfirmDlg&>(d);
            for (int i = 0; i < row.ticksFirst; ++i) {
                c.SendMessage(WM_TIMER, 1);
            }
            row.act(c);
        });
        EXPECT_EQ(dlg.DoModal(), row.result) << row.way;
        EXPECT_EQ(dlg.m_nTicks, 0) << row.way;
    }
}

TEST_F(ClockConfirmTest, ReopeningStartsTheCountAfresh) {
    EXPECT_EQ(Run([](CClockConfirmDlg& d) {
                  for (int i = 0; i < 4; ++i) {
                      d.SendMessage(WM_TIMER, 1);
                  }
                  user::Close(d.GetSafeHwnd());
              }),
              IDCANCEL);
    m_dlg.m_strSummary = "x";
    SetModalDialogHook([](CDialog& d) {
        auto& c = static_cast<CClockConfirmDlg&>(d);
        EXPECT_EQ(c.m_nTicks, 0);
        EXPECT_EQ(Text(c.m_stCountdown), "Reverting in: 10 seconds");
        EXPECT_EQ(Text(c.m_stMessage),
                  "New clock settings will be: x. Do you want to keep the settings?");
        c.SendMessage(WM_TIMER, 1);
        EXPECT_EQ(Text(c.m_stCountdown), "Reverting in: 9 seconds");
        c.EndDialog(IDOK);
    });
    EXPECT_EQ(m_dlg.DoModal(), IDOK);
}

TEST_F(ClockConfirmTest, RendersOffscreen) {
    kesttest::Image image;
    Run([&](CClockConfirmDlg& d) {
        image = user::Capture(d.GetSafeHwnd());
        d.EndDialog(IDCANCEL);
    });
    ASSERT_FALSE(image.Null());
    // The picture covers the whole client area, sized from the dialog font's base units.
    const DialogTemplate* t = FindDialogTemplate(135);
    ASSERT_NE(t, nullptr);
    EXPECT_GE(image.width, t->cx);  // at least one pixel per dialog unit
    EXPECT_GE(image.height, t->cy);
}

}  // namespace
