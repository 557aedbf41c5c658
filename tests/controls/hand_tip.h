// A tool tip whose cursor, buttons and focus the test decides, on a dialog with an owner control,
// a sibling and a control in another window.
#pragma once

#include <gtest/gtest.h>

#include "app/controls/control_tooltip.h"
#include "app/framework/controls.h"

namespace kesttest {

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

}  // namespace kesttest
