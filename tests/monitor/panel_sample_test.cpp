// One main-panel sample on the simulated boards: the panel's filters, texts, chart positions and
// the verdict with its reason, the VPU temperature winning over the fan.
#include <gtest/gtest.h>

#include <string>

#include "app/device/device_client.h"
#include "app/device/process_state.h"
#include "app/monitor/panel_sample.h"
#include "protocol/ioctl.h"
#include "tests/device/device_fixture.h"

namespace {

class PanelSampleTest : public kesttest::DeviceTest {
protected:
    void Board(const std::string& name) {
        host::UnloadDriver();
        Load(name);
        g_nAdapterId = QueryAdapterInfo(3);
        g_nSubsystemId = QueryAdapterInfo(7);
    }

    PanelSample Sample(FanState fan = {}) {
        m_nFanReads = 0;
        const PanelSample s =
            SamplePanel(ClassifyBoard(), fan, m_nLastRpm, m_nLastTemp, [this](uint32_t code) {
                m_nFanReads += code == IOCTL_READ_FAN1 ? 1 : 0;
                const uint32_t v = QueryDriverReading(code);
                return code == m_nAllOnesCode ? 0xFFFFFFFFu : v;
            });
        m_nLastRpm = s.nLastFanRpm;
        m_nLastTemp = s.nLastVpuTemp;
        return s;
    }

    int m_nLastRpm = 0;
    int m_nLastTemp = 0;
    int m_nFanReads = 0;
    uint32_t m_nAllOnesCode = 0;
};

TEST_F(PanelSampleTest, TextsVerdictAndReasonAtTheEdgesOfEachBoard) {
    const struct {
        const char* board;
        int temp;
        bool stallFan;
        const char* fanText;
        const char* tempText;
        PanelAlarmReason reason;
    } rows[] = {
        {"9800pro", 85, false, nullptr, "85 C/ 185 F", PanelAlarmReason::None},
        {"9800pro", 86, false, nullptr, "86 C/ 186 F", PanelAlarmReason::VpuTooHot},
        {"9800pro-b", 86, false, nullptr, "86 C/ 186 F", PanelAlarmReason::VpuTooHot},
        {"9700pro", 70, false, nullptr, "70 C/ 158 F", PanelAlarmReason::None},
        {"9700pro", 71, false, nullptr, "71 C/ 159 F", PanelAlarmReason::VpuTooHot},
        {"9200", 69, false, nullptr, "69 C/ 156 F", PanelAlarmReason::None},
        {"9200", 40, true, "Not Safe", "40 C/ 104 F", PanelAlarmReason::FanTooSlow},
        {"9600pro", 90, true, "Not Safe", "90 C/ 194 F", PanelAlarmReason::VpuTooHot},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.board) + " " + std::to_string(row.temp));
        Board(row.board);
        m_machine->PinSensor(sim::Sensor::temp3, row.temp);
        m_machine->SetFanStalled(row.stallFan);
        m_clock.Advance(60000);
        const PanelSample s = Sample();
        const std::string fanText =
            row.fanText != nullptr
                ? row.fanText
                : std::to_string(m_machine->SensorValue(sim::Sensor::fan1)) + " RPM";
        EXPECT_EQ(s.fanText, fanText);
        EXPECT_EQ(s.tempText, row.tempText);
        EXPECT_EQ(s.reason, row.reason);
        EXPECT_EQ(s.nTempPosition, 100 + 5 * (20 - row.temp) / 3);
        // A slow fan is read a second time, and that reading decides.
        EXPECT_EQ(m_nFanReads, row.stallFan ? 2 : 1);
    }
}

TEST_F(PanelSampleTest, TemperaturesOutsideSixteenToAHundredKeepTheLastValue) {
    m_machine->PinSensor(sim::Sensor::temp3, 60);
    EXPECT_EQ(Sample().tempText, "60 C/ 140 F");
    for (int wild : {101, 15, 0}) {
        m_machine->PinSensor(sim::Sensor::temp3, wild);
        const PanelSample s = Sample();
        EXPECT_EQ(s.tempText, "60 C/ 140 F") << wild;
        EXPECT_EQ(s.nLastVpuTemp, 60);
    }
    m_machine->PinSensor(sim::Sensor::temp3, 100);
    EXPECT_EQ(Sample().reason, PanelAlarmReason::VpuTooHot);
}

TEST_F(PanelSampleTest, FanPositionOnTheFixedScale) {
    m_machine->PinSensor(sim::Sensor::fan1, 5000);
    const PanelSample s = Sample();
    EXPECT_EQ(s.nLastFanRpm, m_machine->SensorValue(sim::Sensor::fan1));
    EXPECT_EQ(s.nFanPosition, 100 - (s.nLastFanRpm - 3000) / 40);
}

TEST_F(PanelSampleTest, NoFanAndTheStoppedFanOfARadeon9200AreSafe) {
    m_machine->PinSensor(sim::Sensor::temp3, 50);  // a stalled fan would heat the chip up
    m_machine->SetFanStalled(true);
    m_clock.Advance(60000);
    PanelSample s = Sample(FanState{1, false});
    EXPECT_EQ(s.fanText, "Unknown");
    EXPECT_EQ(s.nLastFanRpm, 0);
    EXPECT_TRUE(s.Safe());
    EXPECT_EQ(m_nFanReads, 0);

    Board("9200");
    m_machine->PinSensor(sim::Sensor::temp3, 50);
    m_machine->SetFanStalled(true);
    m_clock.Advance(60000);
    s = Sample(FanState{0, true});
    EXPECT_EQ(s.fanText, "Stopped!");
    EXPECT_TRUE(s.Safe());
    EXPECT_EQ(m_nFanReads, 1);
    // On another board a stopped fan is just slow.
    Board("9800pro");
    m_machine->SetFanStalled(true);
    m_clock.Advance(60000);
    EXPECT_EQ(Sample(FanState{0, true}).fanText, "Not Safe");
}

TEST_F(PanelSampleTest, AStoppedServiceReadsZeroAndComesBack) {
    m_machine->PinSensor(sim::Sensor::temp3, 50);
    Sample();
    host::UnloadDriver();
    PanelSample s = Sample();
    EXPECT_EQ(s.fanText, "Not Safe");
    EXPECT_EQ(s.tempText, "50 C/ 122 F");
    EXPECT_EQ(s.reason, PanelAlarmReason::FanTooSlow);
    ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0);
    s = Sample();
    EXPECT_TRUE(s.Safe());

    // Never started: the temperature is the initial 0.
    host::UnloadDriver();
    m_nLastTemp = 0;
    EXPECT_EQ(Sample().tempText, "0 C/ 32 F");
    ASSERT_EQ(host::LoadDriver(host::KestatiDriverEntry()), 0);
}

TEST_F(PanelSampleTest, AnAllOnesFanReadingIsReplacedByTheLastValue) {
    const PanelSample first = Sample();
    m_nAllOnesCode = IOCTL_READ_FAN1;
    const PanelSample s = Sample();
    EXPECT_EQ(s.nLastFanRpm, first.nLastFanRpm);
    EXPECT_EQ(s.fanText, first.fanText);
    EXPECT_TRUE(s.Safe());
}

TEST_F(PanelSampleTest, WarningTextPerReason) {
    EXPECT_STREQ(PanelWarningText(PanelAlarmReason::FanTooSlow), "Warning: Fan speed is too low!");
    EXPECT_STREQ(PanelWarningText(PanelAlarmReason::VpuTooHot),
                 "Warning: VPU temperature is too high!");
}

}  // namespace
