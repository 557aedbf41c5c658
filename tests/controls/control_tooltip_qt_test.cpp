// The tool tip's window class as the Qt back end realises it: the class name, its cursor and a
// window that shows without taking the activation.
#include <QWidget>

#include "app/framework/qt/wnd_internal.h"
#include "tests/controls/hand_tip.h"

namespace kesttest {
namespace {

TEST_F(ControlToolTipTest, TheQtWindowCarriesTheClassNameCursorAndNoActivation) {
    HandTip tip;
    MakeTip(tip);
    QWidget* w = WidgetOf(tip.GetSafeHwnd());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->objectName(), QStringLiteral("ControlToolTip"));
    EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
}

}  // namespace
}  // namespace kesttest
