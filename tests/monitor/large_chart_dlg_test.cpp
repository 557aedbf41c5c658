// The large chart on the simulated boards: titles, labels, the level line, clamping and a new
// history at every showing. Its timer is driven by calling the handler.
#include <gtest/gtest.h>

#include <string>

#include "app/monitor/large_chart_dlg.h"
#include "tests/monitor/chart_pixels.h"
#include "tests/monitor/monitor_window_fixture.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace {

using kesttest::MonitorWindowTest;
using kesttest::Text;
using kesttest::Title;

class LargeChartTest : public MonitorWindowTest {
protected:
    // Shows a large chart for list index `index` with `value` to plot, running `script` inside.
    void Show(int index, uint32_t value, const std::function<void(CLargeChartDlg&)>& script) {
        m_chart.m_nItemIndex = index;
        m_chart.m_nLastValue = value;
        OnModal(165, [&](CDialog& d) { script(static_cast<CLargeChartDlg&>(d)); });
        m_chart.DoModal();
    }
    static void Tick(CLargeChartDlg& d, int n = 1) {
        for (int i = 0; i < n; ++i) {
            d.SendMessage(WM_TIMER, 1);
        }
    }

    CLargeChartDlg m_chart;
};

TEST_F(LargeChartTest, TitleLabelsLevelAndPositionPerItemAndBoard) {
    struct Row {
        const char* board;
        int index;
        const char* title;
        const char* top;
        const char* middle;
        const char* bottom;
        uint32_t value;
        int position;
        int level;
    };
    const Row rows[] = {
        {"9800pro", 0, "ZEL        Fan Speed (RPM)", " 7000", " 5000", " 3000", 5000, 50, 25},
        {"9800pro", 6, "ZEL        VPU Temperature (C)", " 80", " 50", " 20", 50, 50, 40},
        {"9200", 1, "ZEL        Memory Core Voltage (V)", " 3.30", " 3.15", " 3.00", 3150, 50, 50},
        {"9200", 4, "ZEL        VPU Temperature (C)", " 60", " 40", " 20", 40, 50, 50},
        {"9800pro-b", 2, "ZEL        Memory I/O Voltage (v)", "2.90", "2.80", "2.70", 2800, 50, 50},
        {"9500pro-f2", 3, "ZEL        Memory Temperature  (C)", " 70", " 45", " 20", 45, 50, 50},
        {"9500pro-f2", 1, "ZEL        Memory Core Voltage (V)", " 3.00", " 2.90", " 2.80", 2900, 50,
         25},
        {"9700pro-12", 5, "ZEL        VPU Core Valtage (V)", " 1.60", " 1.50", " 1.40", 1500, 50,
         50},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.board) + " " + row.title);
        Load(row.board);
        bool ran = false;
        Show(row.index, row.value, [&](CLargeChartDlg& d) {
            EXPECT_EQ(Title(d), row.title);
            EXPECT_EQ(Text(d, 1084), row.top);
            EXPECT_EQ(Text(d, 1085), row.middle);
            EXPECT_EQ(Text(d, 1086), row.bottom);
            EXPECT_EQ(d.GetTimerPeriod(1), 1000u);
            Tick(d, 2);
            const kesttest::Image image = kesttest::ChartImage(d.m_chart);
            EXPECT_TRUE(kesttest::NewestPointOnRow(image, row.position));
            EXPECT_TRUE(kesttest::LevelOnRow(image, row.level));
            ran = true;
        });
        EXPECT_TRUE(ran);
    }
}

TEST_F(LargeChartTest, ValuesOutsideTheBandAreDrawnAtTheEdges) {
    // Fan speed on the 3000..7000 scale: 9000 RPM would be position -50, 0 RPM position 175.
    Show(0, 9000, [&](CLargeChartDlg& d) {
        Tick(d, 2);
        EXPECT_TRUE(kesttest::NewestPointOnRow(kesttest::ChartImage(d.m_chart), 0));
        d.m_nLastValue = 0;
        Tick(d, 2);
        EXPECT_TRUE(kesttest::NewestPointOnRow(kesttest::ChartImage(d.m_chart), 100));
    });
}

TEST_F(LargeChartTest, EveryShowingIsANewWindowWithAnEmptyHistory) {
    HWND first = nullptr;
    Show(0, 5000, [&](CLargeChartDlg& d) {
        first = d.GetSafeHwnd();
        Tick(d, 5);
        EXPECT_TRUE(kesttest::AnySeriesPixel(kesttest::ChartImage(d.m_chart)));
    });
    EXPECT_EQ(m_chart.GetSafeHwnd(), nullptr);
    Show(6, 50, [&](CLargeChartDlg& d) {
        EXPECT_NE(d.GetSafeHwnd(), nullptr);
        EXPECT_FALSE(kesttest::AnySeriesPixel(kesttest::ChartImage(d.m_chart)));
        EXPECT_EQ(Title(d), "ZEL        VPU Temperature (C)");
    });
    (void)first;
}

TEST_F(LargeChartTest, AnIndexWithoutAnItemLeavesTitleAndLabelsAndPlotsNothing) {
    Load("9200");  // five items
    Show(5, 3000, [&](CLargeChartDlg& d) {
        EXPECT_EQ(Title(d), "ZEL");
        EXPECT_EQ(Text(d, 1084), "");
        EXPECT_EQ(Text(d, 1086), "");
        Tick(d, 3);
        EXPECT_FALSE(kesttest::AnySeriesPixel(kesttest::ChartImage(d.m_chart)));
    });
}

TEST_F(LargeChartTest, EscapeAndTheCloseBoxEndIt) {
    Show(0, 5000, [](CLargeChartDlg& d) { user::Close(d.GetSafeHwnd()); });
    EXPECT_EQ(m_chart.GetResult(), IDCANCEL);
    EXPECT_EQ(m_chart.GetSafeHwnd(), nullptr);
}

TEST_F(LargeChartTest, ReadsNothingFromTheDriver) {
    Show(0, 5000, [&](CLargeChartDlg& d) {
        m_log.clear();
        Tick(d, 3);
        EXPECT_TRUE(m_log.empty());
    });
}

TEST_F(LargeChartTest, RendersOffscreen) {
    kesttest::Image image;
    Show(6, 45, [&](CLargeChartDlg& d) {
        Tick(d, 12);
        image = user::Capture(d.GetSafeHwnd());
    });
    ASSERT_FALSE(image.Null());
    EXPECT_GE(image.width, 135);
    EXPECT_GE(image.height, 125);
}

}  // namespace
