// The hardware details dialog on the simulated boards, driven tick by tick: the list per board,
// selection and sample texts, the verdict at every band edge, the alarm and its red status line,
// the fan slider and the two fan switches with their registry and drive effects, the large chart
// on click, and a window that goes while a box or the large chart of its own is open.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/monitor/alarm_policy.h"
#include "app/monitor/fan_slider_table.h"
#include "app/monitor/hardware_details_dlg.h"
#include "app/monitor/monitored_items.h"
#include "tests/monitor/chart_pixels.h"
#include "tests/monitor/monitor_window_fixture.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace {

using kesttest::MonitorWindowTest;
using kesttest::Text;
using kesttest::Title;

bool Shown(CWnd& dlg, int id) {
    const CWnd* w = dlg.GetDlgItem(id);
    return w != nullptr && (w->GetStyle() & WS_VISIBLE) != 0;
}

std::vector<std::string> ListNames(CWnd& dlg) {
    std::vector<std::string> names;
    const auto* list = static_cast<const CListBox*>(dlg.GetDlgItem(1020));
    for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
        CString name;
        list->GetText(i, name);
        names.push_back(name.GetStdString());
    }
    return names;
}

// Whether the control's text shows in red, as it is drawn now.
bool DrawnInRed(CWnd& dlg, int id) {
    const kesttest::Image image = user::Capture(dlg.GetDlgItemHwnd(id));
    return !kesttest::BoxWhere(image, [](COLORREF px) {
                return GetRValue(px) > 200 && GetGValue(px) < 80 && GetBValue(px) < 80;
            }).Empty();
}

// Picks a list row as the user does: a click on it.
void Select(CWnd& dlg, int index) {
    user::ClickItem(dlg.GetDlgItemHwnd(1020), index);
}

void Tick(CWnd& dlg, int n = 1) {
    for (int i = 0; i < n; ++i) {
        dlg.SendMessage(WM_TIMER, 1);
    }
}

HWND Slider(CWnd& dlg) {
    return dlg.GetDlgItemHwnd(1046);
}

void Click(CWnd& dlg, int id) {
    user::Click(dlg.GetDlgItemHwnd(id));
}

// The main dialog as the details dialog sees it, writing into the test's log.
class LoggedLink : public MonitorPanelLink {
public:
    explicit LoggedLink(std::vector<std::string>& log) : m_log(log) {}
    void SetCustomFanOn() override { m_log.push_back("link custom fan on"); }
    void StartFanGuard() override { m_log.push_back("link start guard"); }
    void StopFanGuard() override { m_log.push_back("link stop guard"); }

private:
    std::vector<std::string>& m_log;
};

class DetailsTest : public MonitorWindowTest {
protected:
    // Runs the dialog modally as "Detail" does, with `script` inside its loop.
    void Run(const std::function<void(CHardwareDetailsDlg&)>& script) {
        CHardwareDetailsDlg dlg;
        dlg.m_pMonitorDlg = &m_link;
        bool ran = false;
        OnModal(158, [&](CDialog& d) {
            ran = true;
            script(static_cast<CHardwareDetailsDlg&>(d));
        });
        dlg.DoModal();
        EXPECT_TRUE(ran);
    }

    int Sensor(sim::Sensor s) const { return m_machine->SensorValue(s); }

    LoggedLink m_link{m_log};
};

struct BoardRow {
    const char* board;
    std::vector<std::string> names;
    bool fanControl;
    int sliderMax;
    bool stopFan;  // "Stop the Fan" rather than "Disable fan auto-control"
};

const std::vector<std::string> kSevenItems = {"FAN Speed",
                                              "Memory Core Voltage",
                                              "Memory I/O Voltage",
                                              "Memory Temperature 1",
                                              "Memory Temperature 2",
                                              "VPU Core Voltage",
                                              "VPU Temperature"};

const std::vector<BoardRow> kBoards = {
    {"9200",
     {"FAN Speed", "Memory Core Voltage", "Memory I/O Voltage", "VPU Core Voltage",
      "VPU Temperature"},
     true,
     13,
     true},
    {"9500pro-f2",
     {"FAN Speed", "Memory Core Voltage", "Memory I/O Voltage", "Memory Temperature",
      "VPU Core Voltage", "VPU Temperature"},
     true,
     15,
     false},
    {"9600pro-a", kSevenItems, true, 13, false},
    {"9600pro", kSevenItems, true, 13, false},
    {"9700pro", kSevenItems, false, 0, false},
    {"9700pro-12", kSevenItems, true, 15, false},
    {"9500pro", kSevenItems, false, 0, false},
    {"9800pro", kSevenItems, true, 13, false},
    {"9800pro-b", kSevenItems, true, 13, false},
};

TEST_F(DetailsTest, OpensOnEveryBoardWithItsListAndTheFanTextsButNoFanControls) {
    for (const BoardRow& row : kBoards) {
        SCOPED_TRACE(row.board);
        Load(row.board);
        Run([&](CHardwareDetailsDlg& d) {
            EXPECT_EQ(Title(d), "Pelagon Graphics Monitor");
            EXPECT_EQ(ListNames(d), row.names);
            EXPECT_EQ(d.m_lbItems.GetCurSel(), 0);
            const int rpm = Sensor(sim::Sensor::fan1);
            EXPECT_EQ(Text(d, 1073), std::to_string(rpm) + "  RPM");
            EXPECT_EQ(d.m_nLastValue, static_cast<uint32_t>(rpm));
            EXPECT_EQ(Text(d, 1088), "UNIT: RPM");
            EXPECT_EQ(Text(d, 1075), ">3000  RPM");
            EXPECT_EQ(Text(d, 1070), Description(MonitoredItem::FanSpeed));
            EXPECT_EQ(Text(d, 1079), " 3000");
            EXPECT_EQ(Text(d, 1080), " 5000");
            EXPECT_EQ(Text(d, 1081), " 7000");
            EXPECT_EQ(Text(d, 1082), "Item Value is SAFE now!");
            EXPECT_EQ(d.m_stTitle.m_strText, "HARDWARE DETAILS");
            EXPECT_EQ(d.m_stTitle.m_lf.lfWeight, 700);
            EXPECT_EQ(d.m_stTitle.m_lf.lfHeight, 20);
            EXPECT_NE(d.m_stBanner.m_hBitmap, nullptr);
            EXPECT_EQ(d.GetTimerPeriod(1), 1000u);
            for (int id : {1046, 1095, 1097, 1098, 1099, 1102, 1103}) {
                EXPECT_FALSE(Shown(d, id)) << id;
            }
            EXPECT_TRUE(Shown(d, 1096));
            EXPECT_TRUE(Shown(d, 1072));
            EXPECT_EQ(d.m_chart.GetDlgCtrlID(), 100);

            // Picking the fan shows its controls on the fan-control boards.
            Select(d, 1);
            Select(d, 0);
            EXPECT_EQ(Shown(d, 1046), row.fanControl);
            EXPECT_EQ(Shown(d, 1096), !row.fanControl);
            EXPECT_EQ(Shown(d, 1102), row.fanControl && row.stopFan);
            EXPECT_EQ(Shown(d, 1103), row.fanControl && !row.stopFan);
            if (row.fanControl) {
                EXPECT_EQ(d.m_sliderFan.GetRangeMin(), 1);
                EXPECT_EQ(d.m_sliderFan.GetRangeMax(), row.sliderMax);
                // The board starts at full drive: the slider's last position.
                EXPECT_EQ(d.m_sliderFan.GetPos(), row.sliderMax);
            }
        });
    }
}

TEST_F(DetailsTest, EachItemSelectedThenSampledWithItsTextsScaleAndChart) {
    Run([&](CHardwareDetailsDlg& d) {
        const BoardKind kind = ClassifyBoard();
        const struct {
            int index;
            sim::Sensor sensor;
            int pin;
            const char* selection;
            const char* sample;
            const char* unit;
            const char* range;
        } rows[] = {
            {1, sim::Sensor::in5, 2896, "2.8960  V", "2.8960   V", "UNIT:   V", "2.70V - 3.10V"},
            {2, sim::Sensor::in1, 2704, "2.7040  V", "2.7040   V", "UNIT:   V", "2.45V - 2.85V"},
            {3, sim::Sensor::temp1, 55, "55 C/ 131 F", "55 C/ 131 F", "UNIT:   C", "< 70 C/ 158 F"},
            {4, sim::Sensor::temp2, 69, "69 C/ 156 F", "69 C/ 156 F", "UNIT:   C", "< 70 C/ 158 F"},
            {5, sim::Sensor::in7, 1696, "1.6960  V", "1.6960   V", "UNIT:   V", "1.5V - 1.9V"},
            {6, sim::Sensor::temp3, 80, "80 C/ 176 F", "80 C/ 176 F", "UNIT:   C", "< 85 C/ 185 F"},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.index);
            m_machine->PinSensor(row.sensor, row.pin);
            Select(d, row.index);
            const MonitoredItem item = *ItemAt(kind, row.index);
            EXPECT_EQ(Text(d, 1073), row.selection);
            EXPECT_EQ(Text(d, 1088), row.unit);
            EXPECT_EQ(Text(d, 1075), row.range);
            EXPECT_EQ(Text(d, 1070), Description(item));
            const ChartLabelTexts labels = ChartLabels(item, kind, ChartScale::Small);
            EXPECT_EQ(Text(d, 1079), labels.bottom);
            EXPECT_EQ(Text(d, 1080), labels.middle);
            EXPECT_EQ(Text(d, 1081), labels.top);
            EXPECT_FALSE(
                kesttest::AnySeriesPixel(kesttest::ChartImage(d.m_chart)));  // a new history

            Tick(d, 2);
            EXPECT_EQ(Text(d, 1073), row.sample);
            EXPECT_EQ(d.m_nLastValue, static_cast<uint32_t>(row.pin));
            EXPECT_EQ(d.m_pLargeChart->m_nLastValue, static_cast<uint32_t>(row.pin));
            const kesttest::Image image = kesttest::ChartImage(d.m_chart);
            EXPECT_TRUE(kesttest::NewestPointOnRow(
                image, ChartPosition(item, kind, row.pin, ChartScale::Small)));
            EXPECT_TRUE(kesttest::LevelOnRow(image, ReferenceLevel(item, kind, ChartScale::Small)));
        }
        // The fan: two blanks at selection, one in the samples.
        Select(d, 0);
        const int rpm = Sensor(sim::Sensor::fan1);
        EXPECT_EQ(Text(d, 1073), std::to_string(rpm) + "  RPM");
        Tick(d);
        EXPECT_EQ(Text(d, 1073), std::to_string(Sensor(sim::Sensor::fan1)) + " RPM");
    });
}

// A value on either side of each edge of an item's safe range, as the chip can report it
// (voltages in 16 mV steps).
struct Edge {
    sim::Sensor sensor;
    int safe;
    int unsafe;
};

std::vector<Edge> EdgesOf(MonitoredItem item, BoardKind kind) {
    auto down16 = [](int v) { return v / 16 * 16; };
    auto up16 = [](int v) { return (v + 15) / 16 * 16; };
    struct Band {
        int low;
        int high;
        bool exclusive;
    };
    auto band = [&]() -> Band {
        const int k = static_cast<int>(kind);  // Kind9200, 9600, 9800B, 9800, F2, 12, Other
        switch (item) {
            case MonitoredItem::MemoryCoreVoltage: {
                const Band b[] = {{3000, 3300, false}, {2400, 3000, false}, {2500, 2900, false},
                                  {2700, 3100, false}, {2800, 3100, false}, {2375, 2725, false},
                                  {2800, 3100, false}};
                return b[k];
            }
            case MonitoredItem::MemoryIoVoltage: {
                const Band b[] = {{2375, 2725, false}, {2400, 3000, false}, {2600, 3000, false},
                                  {2450, 2850, false}, {2600, 3000, false}, {2375, 2725, false},
                                  {2600, 3000, false}};
                return b[k];
            }
            default: {
                const Band b[] = {{1250, 1950, true}, {1050, 1550, true}, {1500, 1900, true},
                                  {1500, 1900, true}, {1250, 1750, true}, {1250, 1750, true},
                                  {1250, 1750, true}};
                return b[k];
            }
        }
    };
    switch (item) {
        case MonitoredItem::MemoryCoreVoltage:
        case MonitoredItem::MemoryIoVoltage:
        case MonitoredItem::VpuCoreVoltage: {
            const Band b = band();
            const sim::Sensor s = item == MonitoredItem::MemoryCoreVoltage ? sim::Sensor::in5
                                  : item == MonitoredItem::MemoryIoVoltage ? sim::Sensor::in1
                                                                           : sim::Sensor::in7;
            const int x = b.exclusive ? 1 : 0;
            return {{s, up16(b.low + x), down16(b.low + x - 1)},
                    {s, down16(b.high - x), up16(b.high - x + 1)}};
        }
        case MonitoredItem::MemoryTemperature:
        case MonitoredItem::MemoryTemperature2:
            return {{sim::Sensor::temp2, 69, 70}};
        case MonitoredItem::MemoryTemperature1:
            return {{sim::Sensor::temp1, 69, 70}};
        case MonitoredItem::VpuTemperature:
            if (kind == BoardKind::Kind9800 || kind == BoardKind::Kind9800B) {
                return {{sim::Sensor::temp3, 84, 85}};
            }
            return {{sim::Sensor::temp3, 69, 70}};
        case MonitoredItem::FanSpeed:
            break;
    }
    return {};
}

TEST_F(DetailsTest, BothSidesOfEverySafeRangeOnEveryBoard) {
    for (const BoardRow& row : kBoards) {
        SCOPED_TRACE(row.board);
        Load(row.board);
        Run([&](CHardwareDetailsDlg& d) {
            const BoardKind kind = ClassifyBoard();
            for (int index = 1; index < static_cast<int>(row.names.size()); ++index) {
                const MonitoredItem item = *ItemAt(kind, index);
                for (const Edge& edge : EdgesOf(item, kind)) {
                    for (const bool safe : {true, false}) {
                        const int value = safe ? edge.safe : edge.unsafe;
                        SCOPED_TRACE(std::string(ItemListName(item)) + " " + std::to_string(value));
                        m_machine->PinSensor(edge.sensor, value);
                        Select(d, index);
                        Tick(d);
                        ASSERT_EQ(Sensor(edge.sensor), value);
                        EXPECT_EQ(d.m_bItemSafe, safe ? 1 : 0);
                        EXPECT_EQ(Text(d, 1082),
                                  safe ? "Item Value is SAFE now!" : "Item Value is NOT SAFE!");
                    }
                }
            }
        });
    }
}

TEST_F(DetailsTest, AnUnsafeItemFiresOnTheEleventhSampleAndTurnsTheStatusRed) {
    m_machine->PinSensor(sim::Sensor::temp3, 85);  // unsafe on a RADEON 9800 PRO
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 6);
        Tick(d, 10);
        EXPECT_TRUE(m_boxes.Boxes().empty());
        EXPECT_EQ(d.m_nAlarmTicks, 10);
        EXPECT_TRUE(DrawnInRed(d, 1082));

        Tick(d);
        ASSERT_EQ(m_boxes.Boxes().size(), 2u);
        EXPECT_EQ(m_boxes.Boxes()[0].text, "Warning: VPU temperature is too high!");
        EXPECT_EQ(m_boxes.Boxes()[1].text, kDetailsRestartText);
        EXPECT_EQ(m_boxes.Boxes()[1].owner, d.GetSafeHwnd());
        EXPECT_EQ(Text(d, 1073), "85 C/ 185 F");

        // Another item: the count restarts and the line is safe in the default colour.
        Select(d, 5);
        EXPECT_EQ(d.m_nAlarmTicks, 0);
        EXPECT_EQ(Text(d, 1082), "Item Value is SAFE now!");
        EXPECT_FALSE(DrawnInRed(d, 1082));
        Select(d, 6);
        Tick(d, 10);
        EXPECT_EQ(m_boxes.Boxes().size(), 2u);
    });
}

TEST_F(DetailsTest, SamplesKeepComingWhileTheAlarmBoxesAreOpen) {
    m_machine->SetFanStalled(true);
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 0);
        Tick(d, 10);
        m_boxes.Answer(IDOK, [&] { Tick(d, 3); });
        m_boxes.Answer(IDOK, [&] { Tick(d, 2); });
        Tick(d);
        EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{"Warning: Fan speed is too low!",
                                                             kDetailsRestartText}));
        EXPECT_EQ(d.m_nAlarmTicks, 16);
        EXPECT_EQ(Text(d, 1073), "not safe");
    });
}

TEST_F(DetailsTest, WithNoFanTheFanIsUnknownSafeAndNeverAlarms) {
    SetKey("nofan", 1);
    g_nNoFan = 1;
    m_machine->SetFanStalled(true);
    Run([&](CHardwareDetailsDlg& d) {
        EXPECT_EQ(Text(d, 1073), "Unknown");
        Select(d, 1);
        Select(d, 0);
        EXPECT_FALSE(Shown(d, 1046));
        EXPECT_TRUE(Shown(d, 1096));
        Tick(d, 30);
        EXPECT_TRUE(m_boxes.Boxes().empty());
        EXPECT_EQ(Text(d, 1073), "Unknown");
        EXPECT_EQ(Text(d, 1082), "No fan monitoring!");
        EXPECT_EQ(d.m_nLastValue, 3000u);
        EXPECT_TRUE(kesttest::NewestPointOnRow(kesttest::ChartImage(d.m_chart), 100));
    });
}

TEST_F(DetailsTest, AStoppedServiceReadsZeroHoldsTheTemperatureAndRecovers) {
    Run([&](CHardwareDetailsDlg& d) {
        m_machine->PinSensor(sim::Sensor::temp3, 45);
        Select(d, 6);
        Tick(d);
        StopService();
        Tick(d, 5);
        EXPECT_EQ(Text(d, 1073), "45 C/ 113 F");
        EXPECT_EQ(d.m_bItemSafe, 1);
        Select(d, 0);
        EXPECT_EQ(Text(d, 1073), "not safe");
        Tick(d, 10);
        EXPECT_TRUE(m_boxes.Boxes().empty());
        Tick(d);
        EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{"Warning: Fan speed is too low!",
                                                             kDetailsRestartText}));
        StartService();
        Tick(d);
        EXPECT_EQ(Text(d, 1073), std::to_string(Sensor(sim::Sensor::fan1)) + " RPM");
        EXPECT_EQ(d.m_nAlarmTicks, 0);
    });
}

TEST_F(DetailsTest, AChipThatFailsMidRunLeavesVoltagesHeldAndTheFanNotSafe) {
    Run([&](CHardwareDetailsDlg& d) {
        m_machine->PinSensor(sim::Sensor::in5, 2896);
        Select(d, 1);
        Tick(d);
        m_machine->SetChipPresent(false);
        Tick(d, 3);
        EXPECT_EQ(Text(d, 1073), "2.8960   V");
        EXPECT_EQ(d.m_bItemSafe, 1);
        Select(d, 0);
        Tick(d);
        EXPECT_EQ(Text(d, 1073), "not safe");
        EXPECT_EQ(d.m_bItemSafe, 0);
        m_machine->SetChipPresent(true);
    });
}

TEST_F(DetailsTest, AnAllOnesReadingIsNeverShownOrJudged) {
    Run([&](CHardwareDetailsDlg& d) {
        m_machine->PinSensor(sim::Sensor::in5, 2896);
        // At selection it reads as a failed request would.
        m_transport.m_nAllOnesCode = IOCTL_READ_IN5;
        m_transport.m_nAllOnesCount = 1;
        Select(d, 1);
        EXPECT_EQ(Text(d, 1073), "0.0000  V");
        EXPECT_EQ(d.m_nLastValue, 0u);
        Tick(d);
        EXPECT_EQ(Text(d, 1073), "2.8960   V");
        // In a sample the previous value stays.
        m_transport.m_nAllOnesCount = 1;
        Tick(d);
        EXPECT_EQ(Text(d, 1073), "2.8960   V");
        EXPECT_EQ(d.m_nLastValue, 2896u);
        // The fan the same way.
        Select(d, 0);
        const std::string shown = Text(d, 1073);
        m_transport.m_nAllOnesCode = IOCTL_READ_FAN1;
        m_transport.m_nAllOnesCount = 1;
        Tick(d);
        EXPECT_EQ(d.m_bItemSafe, 1);
        EXPECT_EQ(Text(d, 1073), std::to_string(d.m_nLastValue) + " RPM");
    });
}

TEST_F(DetailsTest, TheSliderDrivesTheFanStoresTheSpeedAndTicksCustomFanOnEveryKind) {
    for (const char* board : {"9200", "9600pro", "9800pro", "9500pro-f2"}) {
        SCOPED_TRACE(board);
        Load(board);
        SetKey("Fan4Temp", 0);
        g_nFan4Temp = 0;
        g_bFanGuardTripped = 1;
        Run([&](CHardwareDetailsDlg& d) {
            const BoardKind kind = ClassifyBoard();
            Select(d, 1);
            Select(d, 0);
            const HWND slider = Slider(d);
            ASSERT_NE(slider, nullptr);
            user::Key(slider, user::kHome);
            for (int position = 1; position <= FanSliderMax(kind); ++position) {
                SCOPED_TRACE(position);
                if (position > 1) {
                    m_log.clear();
                    user::Key(slider, user::kRight);
                }
                const int drive = PositionToFanDrive(kind, position);
                EXPECT_EQ(d.m_sliderFan.GetPos(), position);
                EXPECT_EQ(m_machine->FanDrive(), drive);
                EXPECT_EQ(KeyValue("fanspeed"), static_cast<uint32_t>(drive));
                EXPECT_EQ(KeyValue("fancontrol"), 1u);
                EXPECT_EQ(g_nFanControl, 1);
                EXPECT_EQ(g_bFanGuardTripped, 0);
                // One step is two scroll notifications (the step, then the end of it).
                const std::vector<std::string> once = {"req SET_FAN_DRIVE", "link custom fan on",
                                                       "link stop guard", "link start guard"};
                if (position > 1) {
                    std::vector<std::string> twice = once;
                    twice.insert(twice.end(), once.begin(), once.end());
                    EXPECT_EQ(Actions(), twice);
                }
                // The next sample puts the slider where the drive read back says.
                d.m_sliderFan.SetPos(1);
                Tick(d);
                EXPECT_EQ(d.m_sliderFan.GetPos(), position);
            }
        });
    }
}

TEST_F(DetailsTest, WithAutoControlOffTheSliderStopsTheGuardWithoutRestartingIt) {
    Run([&](CHardwareDetailsDlg& d) {  // "Fan4Temp" missing: auto-control off
        Select(d, 1);
        Select(d, 0);
        m_log.clear();
        user::Key(Slider(d), user::kLeft);
        EXPECT_EQ(Actions(), (std::vector<std::string>{"req SET_FAN_DRIVE", "link custom fan on",
                                                       "link stop guard", "req SET_FAN_DRIVE",
                                                       "link custom fan on", "link stop guard"}));
        EXPECT_EQ(m_machine->FanDrive(), 128);
    });
}

TEST_F(DetailsTest, TheSliderStandsWhereTheDriveReadBackSays) {
    const struct {
        const char* board;
        int drive;
        int position;
    } rows[] = {{"9200", 24, 1},      {"9200", 25, 2},    {"9200", 26, 1},
                {"9200", 112, 12},    {"9800pro", 0, 1},  {"9800pro", 33, 1},
                {"9800pro", 129, 13}, {"9600pro", 60, 6}, {"9500pro-f2", 201, 15},
                {"9500pro-f2", 40, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.board) + " " + std::to_string(row.drive));
        Load(row.board);
        SendDriverValue(IOCTL_SET_FAN_DRIVE, static_cast<uint32_t>(row.drive));
        Run([&](CHardwareDetailsDlg& d) {
            Select(d, 1);
            Select(d, 0);
            EXPECT_EQ(d.m_sliderFan.GetPos(), row.position);
        });
    }
}

TEST_F(DetailsTest, StoppingAndStartingTheFanOnARadeon9200) {
    Load("9200");
    SetKey("fanspeed", 40);
    SetKey("fancontrol", 1);
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 1);
        Select(d, 0);
        ASSERT_TRUE(Shown(d, 1102));

        // Cancel leaves everything as it was.
        m_boxes.Answer(IDCANCEL);
        m_log.clear();
        Click(d, 1102);
        EXPECT_EQ(d.m_btnStopFan.GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(Actions(),
                  (std::vector<std::string>{"box Warning: You will stop the fan. This is not "
                                            "recommended and will disable the beeper!"}));
        EXPECT_EQ(m_boxes.Boxes().back().flags, 0x31u);
        EXPECT_EQ(m_boxes.Boxes().back().caption, "ZEL WARNING");
        EXPECT_EQ(m_boxes.Boxes().back().owner, d.GetSafeHwnd());
        EXPECT_EQ(g_bFanStopped, 0);

        m_log.clear();
        Click(d, 1102);
        EXPECT_EQ(Actions(),
                  (std::vector<std::string>{"box Warning: You will stop the fan. This is not "
                                            "recommended and will disable the beeper!",
                                            "req SET_FAN_DRIVE", "req ALARMS_OFF"}));
        EXPECT_EQ(m_machine->FanDrive(), 0);
        EXPECT_EQ(g_bFanStopped, 1);
        EXPECT_FALSE(d.m_sliderFan.IsWindowEnabled());
        EXPECT_EQ(d.m_btnStopFan.GetCheck(), BST_CHECKED);
        m_clock.Advance(60000);  // the fan runs down

        Tick(d);
        EXPECT_EQ(Text(d, 1073), "Stopped!");
        EXPECT_EQ(d.m_bItemSafe, 1);
        EXPECT_EQ(Text(d, 1082), "The Fan is set for stopping now!");
        Tick(d, 15);
        EXPECT_EQ(m_boxes.Boxes().size(), 2u);  // the two questions only

        // Start it again from the same controls.
        m_log.clear();
        m_boxes.Answer(IDCANCEL);
        Click(d, 1102);
        EXPECT_EQ(d.m_btnStopFan.GetCheck(), BST_CHECKED);
        EXPECT_EQ(g_bFanStopped, 1);
        Click(d, 1102);
        EXPECT_EQ(Actions(), (std::vector<std::string>{"box Warning: You will start the fan!",
                                                       "box Warning: You will start the fan!",
                                                       "req SET_FAN_DRIVE", "req SET_FAN1_LIMIT",
                                                       "req SET_TEMP1_LIMIT", "req SET_TEMP2_LIMIT",
                                                       "req SET_TEMP3_LIMIT"}));
        EXPECT_EQ(m_machine->FanDrive(), 255);
        EXPECT_EQ(g_bFanStopped, 0);
        EXPECT_TRUE(d.m_sliderFan.IsWindowEnabled());
        EXPECT_EQ(d.m_btnStopFan.GetCheck(), BST_UNCHECKED);

        // Neither path touched the stored settings.
        EXPECT_EQ(KeyValue("fanspeed"), 40u);
        EXPECT_EQ(KeyValue("fancontrol"), 1u);
        EXPECT_EQ(KeyValue("Fan4Temp"), 0xFFFFu);
    });
}

TEST_F(DetailsTest, AStoppedFanHidesItsControlsAtEveryLaterSelection) {
    Load("9200");
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 1);
        Select(d, 0);
        Click(d, 1102);
        Select(d, 2);
        Select(d, 0);
        EXPECT_FALSE(Shown(d, 1046));
        EXPECT_FALSE(Shown(d, 1102));
        EXPECT_TRUE(Shown(d, 1096));
        EXPECT_EQ(Text(d, 1073), "Stopped!");
    });
    Run([&](CHardwareDetailsDlg& d) { EXPECT_EQ(Text(d, 1073), "Stopped!"); });
}

TEST_F(DetailsTest, FanAutoControlWithTheValueMissingStoredZeroAndStoredOne) {
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 1);
        Select(d, 0);
        CButton* autoControl = dynamic_cast<CButton*>(d.GetDlgItem(1103));
        ASSERT_NE(autoControl, nullptr);
        EXPECT_EQ(autoControl->GetCheck(), BST_CHECKED);  // missing counts as switched off

        // Cancel writes back what was read.
        m_boxes.Answer(IDCANCEL);
        Click(d, 1103);
        EXPECT_EQ(m_boxes.Texts().back(),
                  "Warning: The fan will auto speed up when Temperature goes high!");
        EXPECT_EQ(autoControl->GetCheck(), BST_CHECKED);
        EXPECT_EQ(KeyValue("Fan4Temp"), 0xFFFFu);

        // OK at full drive: auto-control back on, no guard needed.
        m_log.clear();
        Click(d, 1103);
        EXPECT_EQ(Actions(),
                  (std::vector<std::string>{
                      "box Warning: The fan will auto speed up when Temperature goes high!"}));
        EXPECT_EQ(KeyValue("Fan4Temp"), 0u);
        EXPECT_EQ(g_nFan4Temp, 0);
        EXPECT_EQ(autoControl->GetCheck(), BST_UNCHECKED);

        // Switching it off stops the guard.
        m_log.clear();
        Click(d, 1103);
        EXPECT_EQ(Actions(), (std::vector<std::string>{
                                 "box Warning: You will stop the auto-fan-control mechanism! The "
                                 "fan will not auto speed up when temperature goes high!",
                                 "link stop guard"}));
        EXPECT_EQ(KeyValue("Fan4Temp"), 1u);
        EXPECT_EQ(autoControl->GetCheck(), BST_CHECKED);

        // On again below full drive: the guard starts.
        SendDriverValue(IOCTL_SET_FAN_DRIVE, 96);
        m_log.clear();
        Click(d, 1103);
        EXPECT_EQ(Actions().back(), "link start guard");
        EXPECT_EQ(KeyValue("Fan4Temp"), 0u);

        // Cancel while it is on keeps it on.
        m_boxes.Answer(IDCANCEL);
        Click(d, 1103);
        EXPECT_EQ(autoControl->GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(KeyValue("Fan4Temp"), 0u);
    });
}

TEST_F(DetailsTest, WithoutAServiceKeyTheFanHandlersStillActAndCreateNothing) {
    m_key.Remove();
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 1);
        Select(d, 0);
        user::Key(Slider(d), user::kLeft);
        EXPECT_EQ(m_machine->FanDrive(), 128);
        EXPECT_EQ(g_nFanControl, 1);

        Click(d, 1103);  // "Fan4Temp" reads as missing: the question to switch it back on
        EXPECT_EQ(m_boxes.Texts().back(),
                  "Warning: The fan will auto speed up when Temperature goes high!");
        EXPECT_EQ(g_nFan4Temp, 0);
    });
    EXPECT_FALSE(m_key.Exists());
}

TEST_F(DetailsTest, ClickingTheChartOpensTheLargeChartWhichPlotsWhatTheDialogSamples) {
    m_machine->PinSensor(sim::Sensor::temp3, 50);
    bool opened = false;
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 6);
        Tick(d, 4);
        const kesttest::Image before = kesttest::ChartImage(d.m_chart);
        OnModal(165, [&](CDialog& large) {
            opened = true;
            auto& chart = static_cast<CLargeChartDlg&>(large);
            EXPECT_EQ(chart.m_nItemIndex, 6);
            EXPECT_EQ(Title(large), "ZEL        VPU Temperature (C)");
            // The details dialog keeps sampling underneath.
            m_machine->PinSensor(sim::Sensor::temp3, 53);
            Tick(d);
            EXPECT_EQ(chart.m_nLastValue, 53u);
            Tick(chart, 2);
            EXPECT_TRUE(kesttest::NewestPointOnRow(kesttest::ChartImage(chart.m_chart), 45));
            kesttest::ChartImage(d.m_chart);
        });
        // A click anywhere on the chart reaches the placeholder beneath it.
        POINT inChart{20, 10};
        d.m_chart.ClientToScreen(&inChart);
        d.ScreenToClient(&inChart);
        user::ClickAt(d.GetSafeHwnd(), inChart);
        EXPECT_TRUE(opened);
        // Back in the details dialog its history is intact but for the sample taken meanwhile.
        EXPECT_EQ(kesttest::ChartImage(d.m_chart).width, before.width);
        EXPECT_TRUE(kesttest::AnySeriesPixel(kesttest::ChartImage(d.m_chart)));
    });
}

TEST_F(DetailsTest, DestroyedWhileTheLargeChartIsOpen) {
    Run([&](CHardwareDetailsDlg& d) {
        OnModal(165, [&](CDialog& large) {
            Tick(large);
            d.DestroyWindow();
        });
        d.SendMessage(WM_COMMAND, MAKEWPARAM(1067, STN_CLICKED), 0);
        EXPECT_EQ(d.GetSafeHwnd(), nullptr);
        EXPECT_EQ(d.m_pLargeChart->GetSafeHwnd(), nullptr);
    });
}

TEST_F(DetailsTest, DestroyedWhileItsAlarmBoxIsOpen) {
    m_machine->SetFanStalled(true);
    Run([&](CHardwareDetailsDlg& d) {
        Tick(d, 10);
        m_boxes.Answer(IDOK, [&] {
            Tick(d);
            d.DestroyWindow();
        });
        const std::string before = d.m_strCurrent.GetStdString();
        Tick(d);
        EXPECT_EQ(m_boxes.Boxes().size(), 1u);
        EXPECT_EQ(Actions().back(), "req ALARMS_OFF");
        EXPECT_EQ(d.GetSafeHwnd(), nullptr);
        Tick(d);  // a late timer message finds no window and does nothing
        (void)before;
    });
}

TEST_F(DetailsTest, DestroyedWhileAFanQuestionIsOpenChangesNothing) {
    Load("9200");
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 1);
        Select(d, 0);
        m_boxes.Answer(IDOK, [&] { d.DestroyWindow(); });
        d.SendMessage(WM_COMMAND, MAKEWPARAM(1102, BN_CLICKED), 0);
        EXPECT_EQ(g_bFanStopped, 0);
        EXPECT_EQ(m_machine->FanDrive(), 255);
    });
}

TEST_F(DetailsTest, BeepTestButton) {
    Run([&](CHardwareDetailsDlg& d) {
        Click(d, 1092);
        ASSERT_EQ(m_boxes.Boxes().size(), 1u);
        EXPECT_EQ(m_boxes.Boxes()[0].owner, d.GetSafeHwnd());
        EXPECT_EQ(m_boxes.Boxes()[0].text, "beep! beep! beep!");
    });
}

TEST_F(DetailsTest, RendersOffscreen) {
    kesttest::Image image;
    Run([&](CHardwareDetailsDlg& d) {
        Select(d, 6);
        Tick(d, 20);
        image = user::Capture(d.GetSafeHwnd());
    });
    ASSERT_FALSE(image.Null());
    EXPECT_GE(image.width, 359);
    EXPECT_GE(image.height, 236);
}

}  // namespace
