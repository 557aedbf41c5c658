// The alarm policy on the simulated board: counting, the firing order, re-entrant samples while
// the boxes are open, both monitors at once, and a monitor whose window goes while a box is up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/monitor/alarm_policy.h"
#include "tests/monitor/monitor_window_fixture.h"

namespace {

using kesttest::MonitorWindowTest;

constexpr const char* kWarning = "Warning: Fan speed is too low!";

class AlarmPolicyTest : public MonitorWindowTest {
protected:
    void SetUp() override {
        MonitorWindowTest::SetUp();
        ASSERT_TRUE(m_dlg.Create(165));
        ASSERT_TRUE(m_other.Create(165));
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        m_other.DestroyWindow();
        MonitorWindowTest::TearDown();
    }

    bool Step(bool bSafe) {
        return AlarmStep(m_nTicks, bSafe, kWarning, kDetailsRestartText, &m_dlg);
    }
    void Unsafe(int n) {
        for (int i = 0; i < n; ++i) {
            Step(false);
        }
    }

    CDialog m_dlg{165};
    CDialog m_other{165};
    int m_nTicks = 0;
};

TEST_F(AlarmPolicyTest, TenUnsafeSamplesShowNothingTheEleventhFiresInOrder) {
    for (int i = 1; i <= 10; ++i) {
        Step(false);
        EXPECT_EQ(m_nTicks, i);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_TRUE(Actions().empty());

    m_other.ShowWindow(SW_SHOW);
    m_other.SetForegroundWindow();
    ASSERT_NE(CWnd::GetForegroundWindow(), nullptr);
    void* const foreground = CWnd::GetForegroundWindow()->GetSafeHwnd();
    EXPECT_EQ(foreground, m_other.GetSafeHwnd());
    int ticksWhileOpen = -1;
    bool beeperWhileOpen = false;
    m_boxes.Answer(IDOK, [&] {
        ticksWhileOpen = m_nTicks;
        beeperWhileOpen = m_machine->BeeperOn();
    });
    EXPECT_TRUE(Step(false));

    EXPECT_EQ(ticksWhileOpen, 11);
    EXPECT_TRUE(beeperWhileOpen);
    EXPECT_FALSE(m_machine->BeeperOn());
    EXPECT_EQ(Actions(), (std::vector<std::string>{"req ALARMS_ON", std::string("box ") + kWarning,
                                                   std::string("box ") + kDetailsRestartText,
                                                   "req ALARMS_OFF"}));
    const auto& boxes = m_boxes.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, foreground);
    EXPECT_EQ(boxes[0].caption, "ZEL WARNING");
    EXPECT_EQ(boxes[0].flags, 0x10010u);
    EXPECT_EQ(boxes[1].owner, m_dlg.GetSafeHwnd());
    EXPECT_EQ(boxes[1].caption, "ZEL WARNING");
    EXPECT_EQ(boxes[1].flags, 0x10030u);
    EXPECT_EQ(m_nTicks, 11);
}

TEST_F(AlarmPolicyTest, RestartTextsNameTheSupportAddress) {
    EXPECT_STREQ(kDetailsRestartText,
                 "Warning: The hardware item value go beyond safe range! If you reach this "
                 "window, please click \"OK\" and restart your computer. If that does not resolve "
                 "the problem, please send email to support@pelagon.example for further "
                 "assistance.");
    EXPECT_STREQ(kPanelRestartText,
                 "Warning: If you reach this window, please click \"OK\" and restart your "
                 "computer. If that does not resolve the problem, please send email to "
                 "support@pelagon.example for further assistance.");
}

TEST_F(AlarmPolicyTest, AnHourUnsafeFiresOnceAndOneSafeSampleRearms) {
    Unsafe(3600);
    EXPECT_EQ(m_boxes.Boxes().size(), 2u);
    EXPECT_EQ(m_nTicks, 3600);

    Step(true);
    EXPECT_EQ(m_nTicks, 0);
    Unsafe(2);
    Step(true);
    Unsafe(10);
    EXPECT_EQ(m_boxes.Boxes().size(), 2u);  // the count restarted at the safe sample
    Unsafe(1);
    EXPECT_EQ(m_boxes.Boxes().size(), 4u);
}

TEST_F(AlarmPolicyTest, SamplesReenteringWhileTheBoxesAreOpenOnlyCountOrRearm) {
    Unsafe(10);
    // While the first box is open five more unsafe samples arrive: nothing fires again.
    m_boxes.Answer(IDOK, [&] { Unsafe(5); });
    // While the second box is open a safe sample re-arms, and eleven unsafe ones fire again, on
    // top of the boxes still open.
    m_boxes.Answer(IDOK, [&] {
        Step(true);
        Unsafe(11);
    });
    Step(false);

    const auto& boxes = m_boxes.Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].depth, 1);
    EXPECT_EQ(boxes[1].depth, 1);
    EXPECT_EQ(boxes[2].depth, 2);
    EXPECT_EQ(boxes[3].depth, 2);
    EXPECT_EQ(boxes[2].text, kWarning);
    EXPECT_EQ(Actions(), (std::vector<std::string>{"req ALARMS_ON", std::string("box ") + kWarning,
                                                   std::string("box ") + kDetailsRestartText,
                                                   "req ALARMS_ON", std::string("box ") + kWarning,
                                                   std::string("box ") + kDetailsRestartText,
                                                   "req ALARMS_OFF", "req ALARMS_OFF"}));
    EXPECT_EQ(m_nTicks, 11);  // the inner firing's count; the outer step left it alone
}

TEST_F(AlarmPolicyTest, BothMonitorsFireAtOnceAndEachSwitchesTheBeeperOff) {
    int nOtherTicks = 10;
    Unsafe(10);
    bool beeperAfterInnerPair = true;
    // The other monitor's eleventh sample arrives while this monitor's first box is open.
    m_boxes.Answer(IDOK, [&] {
        AlarmStep(nOtherTicks, false, "Warning: VPU temperature is too high!", kPanelRestartText,
                  &m_other);
        beeperAfterInnerPair = m_machine->BeeperOn();
    });
    Step(false);
    EXPECT_EQ(nOtherTicks, 11);
    // The inner pair's ALARMS_OFF silenced the beeper that the outer one switched on.
    EXPECT_FALSE(beeperAfterInnerPair);
    const auto& boxes = m_boxes.Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[1].text, "Warning: VPU temperature is too high!");
    EXPECT_EQ(boxes[2].text, kPanelRestartText);
    EXPECT_EQ(boxes[2].owner, m_other.GetSafeHwnd());
    EXPECT_EQ(boxes[3].text, kDetailsRestartText);
    EXPECT_EQ(boxes[3].owner, m_dlg.GetSafeHwnd());
    EXPECT_FALSE(m_machine->BeeperOn());
}

TEST_F(AlarmPolicyTest, AWindowDestroyedWhileTheFirstBoxIsOpenGetsNoSecondBox) {
    Unsafe(10);
    m_boxes.Answer(IDOK, [&] { m_dlg.DestroyWindow(); });
    EXPECT_FALSE(Step(false));
    EXPECT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(Actions(), (std::vector<std::string>{"req ALARMS_ON", std::string("box ") + kWarning,
                                                   "req ALARMS_OFF"}));
    EXPECT_FALSE(m_machine->BeeperOn());
}

TEST_F(AlarmPolicyTest, AModelessWindowDeletedWhileTheSecondBoxIsOpenIsNotTouched) {
    // A main dialog deletes itself when it is closed; its count goes with it.
    auto dlg = std::make_unique<CDialog>(165);
    ASSERT_TRUE(dlg->Create(165));
    CDialog* const raw = dlg.get();
    auto ticks = std::make_unique<int>(10);
    int& count = *ticks;
    m_boxes.Answer(IDOK);
    m_boxes.Answer(IDOK, [&] {
        dlg.reset();
        ticks.reset();
    });
    EXPECT_FALSE(AlarmStep(count, false, kWarning, kPanelRestartText, raw));
    EXPECT_EQ(m_boxes.Boxes().size(), 2u);
    EXPECT_EQ(Actions().back(), "req ALARMS_OFF");
}

TEST_F(AlarmPolicyTest, WithoutTheServiceTheBoxesStillShow) {
    StopService();
    Unsafe(11);
    EXPECT_EQ(m_boxes.Boxes().size(), 2u);
    StartService();
}

TEST_F(AlarmPolicyTest, BeepTestSoundsWhileTheBoxIsOpenThenArmsTheLimits) {
    bool beeperWhileOpen = false;
    m_boxes.Answer(IDOK, [&] { beeperWhileOpen = m_machine->BeeperOn(); });
    BeepTest(&m_dlg);
    EXPECT_TRUE(beeperWhileOpen);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].owner, m_dlg.GetSafeHwnd());
    EXPECT_EQ(m_boxes.Boxes()[0].text, "beep! beep! beep!");
    EXPECT_EQ(m_boxes.Boxes()[0].caption, "ZEL WARNING");
    EXPECT_EQ(m_boxes.Boxes()[0].flags, 0x30u);
    EXPECT_EQ(Actions(),
              (std::vector<std::string>{"req ALARMS_ON", "box beep! beep! beep!", "req ALARMS_OFF",
                                        "req SET_FAN1_LIMIT", "req SET_TEMP1_LIMIT",
                                        "req SET_TEMP2_LIMIT", "req SET_TEMP3_LIMIT"}));
    // At the board's safe defaults the armed limits keep the beeper quiet.
    EXPECT_FALSE(m_machine->BeeperOn());
}

TEST_F(AlarmPolicyTest, BeepTestWithoutTheServiceShowsTheBoxAndNothingElse) {
    StopService();
    BeepTest(&m_dlg);
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{"beep! beep! beep!"}));
    StartService();
    EXPECT_FALSE(m_machine->BeeperOn());
}

}  // namespace
