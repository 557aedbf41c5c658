// The main dialog's monitor panel on the simulated board, tick by tick: the timer handler is
// called, never waited for.
#include "app/device/settings.h"
#include "app/monitor/alarm_policy.h"
#include "app/monitor/hardware_details_dlg.h"
#include "tests/monitor/chart_pixels.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace kesttest {
namespace {

class MonitorPanelTest : public ShellTest {
protected:
    void TearDown() override {
        SetModalDialogHook({});
        ShellTest::TearDown();
    }

    // Start-up on `board`, the dialog open with the monitor switched on through 1091.
    CMonitorDlg* OpenWithMonitorOn(const std::string& board) {
        Load(board);
        m_dir.Write("kest.txt", Le(0, 0));
        MakeFrame();
        m_frame->ShowConfigDialog();
        CMonitorDlg* dlg = m_frame->m_pConfigDlg;
        Click(dlg, 1091);
        return dlg;
    }
    static void Click(CMonitorDlg* dlg, int id) { user::Click(dlg->GetDlgItemHwnd(id)); }
    static std::string Text(CWnd* dlg, int id) {
        CString s;
        dlg->GetDlgItemText(id, s);
        return s.GetStdString();
    }
    uint32_t Key(const char* name) const { return m_key.Value(name); }
    // Rows of the newest column of the panel chart in a series' colour.
    static std::vector<int> NewestRows(CMonitorDlg* dlg, COLORREF colour) {
        const Image image = kesttest::ChartImage(dlg->m_chart);
        return RowsInColour(image, image.width - 3, colour);
    }
};

TEST_F(MonitorPanelTest, SampleWritesTextsAndPlotsBothSeriesOnTheFixedScales) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9700pro");
    m_machine->PinSensor(sim::Sensor::temp3, 50);
    m_machine->PinSensor(sim::Sensor::fan1, 4000);
    // Nothing is redrawn until the first sample.
    EXPECT_EQ(Text(dlg, 1060), "Unknown");
    dlg->OnTimer(1);
    dlg->OnTimer(1);
    EXPECT_EQ(Text(dlg, 1061), "50 C/ 122 F");
    const std::string fan = Text(dlg, 1060);
    EXPECT_EQ(fan, std::to_string(dlg->m_nLastFanRpm) + " RPM");
    EXPECT_NEAR(dlg->m_nLastFanRpm, 4000, 100);
    // Fan 4000 RPM: 100 - 1000/40 = 75 (green); 50 C: 100 + 5*(20-50)/3 = 50 (yellow).
    const Image image = kesttest::ChartImage(dlg->m_chart);
    const int fanPosition = 100 - (dlg->m_nLastFanRpm - 3000) / 40;
    const std::pair<COLORREF, int> series[] = {{CHistoryChart::kSeries0Color, fanPosition},
                                               {CHistoryChart::kSeries1Color, 50}};
    for (const auto& [colour, position] : series) {
        const std::vector<int> rows = NewestRows(dlg, colour);
        ASSERT_FALSE(rows.empty());
        EXPECT_LE(std::abs(rows.front() - RowOfPosition(image, position)), 2);
    }
    EXPECT_EQ(dlg->m_nAlarmTicks, 0);
}

TEST_F(MonitorPanelTest, HotVpuFiresOnTheEleventhSampleWithTheTemperatureWarning) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9700pro");
    m_machine->PinSensor(sim::Sensor::temp3, 75);  // above 70 on a RADEON 9700 PRO
    m_machine->SetFanStalled(true);                // reason 2 wins over reason 1
    for (int i = 0; i < 10; ++i) {
        dlg->OnTimer(1);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
    ClearRequests();
    // A sample re-enters while the first box is open: it only counts.
    m_boxes.Answer(IDOK, [dlg] { dlg->OnTimer(1); });
    dlg->OnTimer(1);
    ASSERT_EQ(m_boxes.Texts().size(), 2u);
    EXPECT_EQ(m_boxes.Texts()[0], "Warning: VPU temperature is too high!");
    EXPECT_EQ(m_boxes.Boxes()[0].flags, 0x10010u);
    EXPECT_EQ(m_boxes.Texts()[1], kPanelRestartText);
    EXPECT_EQ(m_boxes.Boxes()[1].owner, dlg->GetSafeHwnd());
    EXPECT_EQ(m_boxes.Boxes()[1].flags, 0x10030u);
    EXPECT_EQ(ValuesOf(IOCTL_ALARMS_ON).size(), 1u);
    EXPECT_EQ(Codes().back(), IOCTL_ALARMS_OFF);
    EXPECT_EQ(dlg->m_nAlarmTicks, 12);
    for (int i = 0; i < 100; ++i) {
        dlg->OnTimer(1);
    }
    EXPECT_EQ(m_boxes.Boxes().size(), 2u);
}

TEST_F(MonitorPanelTest, DialogClosedUnderTheAlarmBoxIsLeftAlone) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9800pro");
    m_machine->SetFanStalled(true);
    for (int i = 0; i < 10; ++i) {
        dlg->OnTimer(1);
    }
    m_boxes.Answer(IDOK, [dlg] {
        dlg->SendMessage(WM_CLOSE);
        user::Settle();  // the object goes
    });
    dlg->OnTimer(1);
    EXPECT_EQ(m_boxes.Texts(),
              std::vector<std::string>{"Warning: Fan speed is too low!"});  // no second box
    EXPECT_EQ(m_frame->m_pConfigDlg, nullptr);
    EXPECT_EQ(Codes().back(), IOCTL_ALARMS_OFF);
}

TEST_F(MonitorPanelTest, ServiceStoppedMidRunReadsZeroAndWarnsAboutTheFan) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9800pro");
    m_machine->PinSensor(sim::Sensor::temp3, 45);
    dlg->OnTimer(1);
    EXPECT_EQ(Text(dlg, 1061), "45 C/ 113 F");
    StopService();
    for (int i = 0; i < 10; ++i) {
        dlg->OnTimer(1);
    }
    EXPECT_EQ(Text(dlg, 1060), "Not Safe");
    EXPECT_EQ(Text(dlg, 1061), "45 C/ 113 F");  // the last accepted temperature holds
    EXPECT_EQ(dlg->m_nLastFanRpm, 0);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    dlg->OnTimer(1);
    EXPECT_EQ(m_boxes.Texts().front(), "Warning: Fan speed is too low!");
    StartService();
    dlg->OnTimer(1);
    EXPECT_NE(Text(dlg, 1060), "Not Safe");
    EXPECT_EQ(dlg->m_nAlarmTicks, 0);
}

TEST_F(MonitorPanelTest, AScreenReaderSwitchesTheMonitorOnAndReadsWhatTheChartShows) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(0, 0));
    MakeFrame();
    m_frame->ShowConfigDialog();
    CMonitorDlg* dlg = m_frame->m_pConfigDlg;
    ASSERT_TRUE(user::Act(dlg->GetDlgItemHwnd(1091), "Toggle"));
    EXPECT_EQ(g_bMonitorOn, 1);
    EXPECT_EQ(static_cast<CButton*>(dlg->GetDlgItem(1091))->GetCheck(), BST_CHECKED);
    EXPECT_TRUE(dlg->m_btnDetail.IsWindowEnabled());
    m_machine->PinSensor(sim::Sensor::temp3, 50);
    dlg->OnTimer(1);
    const std::string first = Text(dlg, 1060) + ", 50 C/ 122 F";
    m_machine->PinSensor(sim::Sensor::temp3, 51);
    dlg->OnTimer(1);
    const std::string second = Text(dlg, 1060) + ", 51 C/ 123 F";
    const HWND chart = dlg->m_chart.GetSafeHwnd();
    EXPECT_EQ(user::AccessibleName(chart), CString("Fan speed and VPU temperature history"));
    EXPECT_EQ(user::AccessibleDescription(chart).GetStdString(),
              "Newest first: " + second + "; " + first);
    const std::pair<int, const char*> names[] = {
        {1004, "VPU SPEED"},    {1009, "VPU SPEED"},         {1005, "MEMORY SPEED"},
        {1013, "MEMORY SPEED"}, {1020, "System Infomation"}, {1064, "Fan speed status"}};
    for (const auto& [id, name] : names) {
        EXPECT_EQ(user::AccessibleName(dlg->GetDlgItemHwnd(id)), CString(name)) << id;
    }
}

TEST_F(MonitorPanelTest, MonitorSwitchedOffAndOn) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9800pro");
    EXPECT_EQ(g_bMonitorOn, 1);
    EXPECT_FALSE(dlg->m_btnHeatsink.IsWindowEnabled());
    dlg->OnTimer(1);
    EXPECT_TRUE(AnySeriesPixel(kesttest::ChartImage(dlg->m_chart)));
    Click(dlg, 1091);
    EXPECT_EQ(g_bMonitorOn, 0);
    EXPECT_EQ(dlg->m_bMonitorOff, 1);
    EXPECT_EQ(dlg->GetTimerPeriod(1), 0u);
    EXPECT_EQ(Text(dlg, 1060), "Unknown");
    EXPECT_EQ(Text(dlg, 1061), "Unknown");
    EXPECT_FALSE(AnySeriesPixel(kesttest::ChartImage(dlg->m_chart)));
    EXPECT_TRUE(dlg->m_btnHeatsink.IsWindowEnabled());
    EXPECT_FALSE(dlg->m_btnDetail.IsWindowEnabled());
    ClearRequests();
    Click(dlg, 1091);
    EXPECT_EQ(dlg->GetTimerPeriod(1), 1000u);
    EXPECT_TRUE(dlg->m_btnDetail.IsWindowEnabled());
    EXPECT_EQ(Codes(), (std::vector<uint32_t>{IOCTL_REINIT_MONITOR, IOCTL_ALARMS_OFF,
                                              IOCTL_SET_FAN1_LIMIT, IOCTL_SET_TEMP1_LIMIT,
                                              IOCTL_SET_TEMP2_LIMIT, IOCTL_SET_TEMP3_LIMIT}));
    EXPECT_EQ(Text(dlg, 1060), "Unknown");  // until the first sample
}

TEST_F(MonitorPanelTest, HeatsinkFollowsTheStoredValue) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9800pro");
    Click(dlg, 1091);  // off: the option may change
    ASSERT_EQ(Key("nofan"), 0xFFFFu);
    Click(dlg, 1095);
    EXPECT_EQ(Key("nofan"), 1u);
    EXPECT_EQ(g_nNoFan, 1);
    EXPECT_EQ(dlg->m_btnHeatsink.GetCheck(), BST_CHECKED);
    EXPECT_FALSE(dlg->m_btnCustomFan.IsWindowEnabled());
    Click(dlg, 1095);
    EXPECT_EQ(Key("nofan"), 0u);
    EXPECT_EQ(g_nNoFan, 0);
    EXPECT_EQ(dlg->m_btnHeatsink.GetCheck(), BST_UNCHECKED);
    EXPECT_TRUE(dlg->m_btnCustomFan.IsWindowEnabled());
    // With no fan to watch the panel shows "Unknown" and stays safe.
    Click(dlg, 1095);
    Click(dlg, 1091);
    m_machine->SetFanStalled(true);
    for (int i = 0; i < 20; ++i) {
        dlg->OnTimer(1);
    }
    EXPECT_EQ(Text(dlg, 1060), "Unknown");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(MonitorPanelTest, CustomFanDrivesTheStoredSpeedWithTheGuard) {
    struct Case {
        const char* board;
        int64_t stored;  // -1: missing
        uint32_t drive;
    };
    const Case cases[] = {{"9800pro", 20, 58},
                          {"9800pro", 100, 100},
                          {"9700pro", -1, 45},
                          {"9200", 50, 50},
                          {"9200", 80, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.board) + " " + std::to_string(c.stored));
        CMonitorDlg* dlg = OpenWithMonitorOn(c.board);
        if (c.stored >= 0) {
            SetKey("fanspeed", static_cast<uint32_t>(c.stored));
        }
        g_nFan4Temp = 0;
        g_bFanGuardTripped = 1;
        ClearRequests();
        Click(dlg, 1094);
        EXPECT_EQ(ValuesOf(IOCTL_SET_FAN_DRIVE), std::vector<uint32_t>{c.drive});
        EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), kFanGuardPeriodMs);
        EXPECT_EQ(Key("fancontrol"), 1u);
        EXPECT_EQ(Key("fanspeed"), c.stored >= 0 ? static_cast<uint32_t>(c.stored) : 0xFFFFu);
        EXPECT_EQ(g_bFanGuardTripped, 0);
        ClearRequests();
        Click(dlg, 1094);
        EXPECT_EQ(ValuesOf(IOCTL_SET_FAN_DRIVE), std::vector<uint32_t>{255});
        EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), 0u);
        EXPECT_EQ(Key("fancontrol"), 0u);
        EXPECT_EQ(g_nFanControl, 0);
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MonitorPanelTest, FanLeftToTheTemperatureGetsNoGuard) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9800pro");
    g_nFan4Temp = 1;
    Click(dlg, 1094);
    EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), 0u);
    EXPECT_EQ(g_nFanControl, 1);
}

TEST_F(MonitorPanelTest, PanelSamplesUnderTheDetailsDialogWhoseSliderTicksCustomFan) {
    CMonitorDlg* dlg = OpenWithMonitorOn("9800pro");
    m_machine->PinSensor(sim::Sensor::temp3, 60);
    ASSERT_EQ(dlg->m_btnCustomFan.GetCheck(), BST_UNCHECKED);
    g_nFan4Temp = 0;
    bool ran = false;
    SetModalDialogHook([&](CDialog& modal) {
        ASSERT_EQ(modal.GetTemplateID(), 158u);
        auto& details = static_cast<CHardwareDetailsDlg&>(modal);
        EXPECT_EQ(details.m_pMonitorDlg, static_cast<MonitorPanelLink*>(dlg));
        dlg->OnTimer(1);  // the main dialog's timer under the modal loop
        details.m_sliderFan.SetPos(details.m_sliderFan.GetRangeMax());
        details.OnHScroll(TB_THUMBPOSITION, 0, &details.m_sliderFan);
        ran = true;
        modal.EndDialog(IDCANCEL);
    });
    Click(dlg, 1056);
    EXPECT_TRUE(ran);
    EXPECT_EQ(Text(dlg, 1061), "60 C/ 140 F");
    EXPECT_EQ(dlg->m_btnCustomFan.GetCheck(), BST_CHECKED);
    EXPECT_EQ(dlg->m_bCustomFan, 1);
    EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), kFanGuardPeriodMs);
}

}  // namespace
}  // namespace kesttest
