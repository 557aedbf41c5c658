// A self-painting child window drawn through CDC, checked on a picture of its dialog (Qt's
// offscreen grab).
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "app/framework/framework.h"
#include "tests/framework/test_dialogs.h"
#include "tests/support/screenshot.h"

namespace {

class DialogPaintTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterDialogTemplate(&kTestDialog); }
    void TearDown() override { RegisterDialogTemplate(nullptr); }
};

// A self-painting child on a client edge, like the chart.
class CPaintedWnd : public CWnd {
public:
    int m_nPaints = 0;
    void OnPaint() {
        ++m_nPaints;
        CPaintDC dc(this);
        RECT rc;
        GetClientRect(&rc);
        dc.FillSolidRect(0, 0, rc.right, rc.bottom, RGB(255, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(DialogPaintTest, SelfPaintingChildDrawsItsClientInsideItsEdges) {
    CDialog dlg(kTestTemplate);
    ASSERT_TRUE(dlg.Create(kTestTemplate));
    CPaintedWnd painted;
    ASSERT_TRUE(painted.CreateEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, nullptr, nullptr,
                                 WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 40}, &dlg, 300));
    // Its place inside the edges is DialogTest.ChildOnClientEdgesHasItsClientInside's to check.
    const QImage image = GrabWindow(dlg);
    EXPECT_GT(painted.m_nPaints, 0);
    EXPECT_EQ(image.pixelColor(10 + 3, 10 + 3), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(10 + 46, 10 + 26), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(10, 10), QColor(Qt::red));  // the edge
    dlg.DestroyWindow();
}

}  // namespace
