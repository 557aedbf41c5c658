// Start-up and the hidden frame on every catalogue board: stored clocks into the PLL, fan drive
// from the stored settings, the fan guard, resume, the second instance and the fatal paths.
#include <cmath>

#include "app/clock/board_table.h"
#include "app/device/settings.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace kesttest {
namespace {

class MainFrameTest : public ShellTest {};

// Clock feedback x 54 / (reference x post) as the simulated board decodes it, near what was
// asked for: the divider rounding costs at most a couple of MHz.
void ExpectClocksNear(const sim::Machine& m, double engine, double memory) {
    EXPECT_NEAR(m.EngineMhz(), engine, 3.0);
    EXPECT_NEAR(m.MemoryMhz(), memory, 3.0);
}

TEST_F(MainFrameTest, StoredClocksReachThePllOnEveryTunableBoard) {
    for (const CatalogueBoard& board : SupportedBoards()) {
        SCOPED_TRACE(board.name);
        const BoardRow* row = FindBoardRow(board.adapter, board.subsystem);
        ASSERT_NE(row, nullptr);
        if (!row->bTunable) {
            continue;
        }
        Load(board.name);
        const uint32_t before = PllWord();
        // One step inside each start-up window.
        const int engine = static_cast<int>(row->engineStartWindow.nMin) + 5;
        const int memory = static_cast<int>(row->memoryStartWindow.nMin) + 5;
        m_dir.Write("kest.txt", Le(engine, memory));
        MakeFrame();
        EXPECT_EQ(m_frame->m_pConfigDlg, nullptr);
        EXPECT_EQ(PllWord() & 0xFF000000u, before & 0xFF000000u);
        EXPECT_EQ(PllWord() & 0xFFu, 0x0Bu);
        ExpectClocksNear(*m_machine, engine, memory);
        // The file is read, never rewritten at start-up.
        EXPECT_EQ(KestTxt(), Le(engine, memory));
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MainFrameTest, ValuesOutsideTheStartUpWindowTakeTheFallback) {
    struct Case {
        const char* board;
        std::string file;
        double engine, memory;
    };
    const Case cases[] = {
        {"9800pro", Le(900, 340), 380, 340},
        {"9800pro", Le(380, -5), 380, 340},
        {"9600pro-a", Le(600, 275), 400, 275},  // 600 is inside the dialog's window only
        {"9700pro", std::string("\x45\x01\x00", 3), 325, 311},
        {"9700pro", std::string("\x2C\x01\x00\x00\x37\x01\x00", 7), 300, 311},
        {"9500pro", "", 277, 271},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.board) + " file of " + std::to_string(c.file.size()));
        Load(c.board);
        m_dir.Write("kest.txt", c.file);
        MakeFrame();
        ExpectClocksNear(*m_machine, c.engine, c.memory);
        EXPECT_EQ(KestTxt(), c.file);
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MainFrameTest, RadeonNineTwoHundredNeverTouchesClocksOrFile) {
    Load("9200");
    const uint32_t before = PllWord();
    MakeFrame();
    EXPECT_EQ(PllWord(), before);
    for (uint32_t code : Codes()) {
        EXPECT_NE(code, IOCTL_GET_CLOCK_DIVIDERS);
        EXPECT_NE(code, IOCTL_SET_CLOCK_DIVIDERS);
    }
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
    EXPECT_EQ(m_frame->m_pConfigDlg, nullptr);
}

TEST_F(MainFrameTest, ConstructionOrderOfRequests) {
    Load("9800pro");
    SetKey("fancontrol", 0);
    m_dir.Write("kest.txt", Le(380, 340));
    MakeFrame();
    const std::vector<uint32_t> expected = {IOCTL_GET_ADAPTER_INFO,   IOCTL_GET_ADAPTER_INFO,
                                            IOCTL_GET_CLOCK_DIVIDERS, IOCTL_READ_PLL_REG,
                                            IOCTL_READ_PLL_REG,       IOCTL_SET_CLOCK_DIVIDERS,
                                            IOCTL_SET_FAN_DRIVE};
    EXPECT_EQ(Codes(), expected);
    EXPECT_EQ(ValuesOf(IOCTL_SET_FAN_DRIVE), std::vector<uint32_t>{255});
    EXPECT_EQ(g_nAdapterId, 0x4E481002u);
    EXPECT_EQ(g_nFanControl, 0);
    EXPECT_EQ(g_nNoFan, 0xFFFF);
    EXPECT_EQ(g_nFan4Temp, 0xFFFF);
}

TEST_F(MainFrameTest, FanDriveFromTheStoredSettings) {
    struct Case {
        const char* board;
        int64_t fancontrol, fanspeed, fan4temp;  // -1: value missing
        int drive;
        bool guard;
    };
    const Case cases[] = {
        {"9200", 1, 20, 0, 30, true},         {"9200", 1, 40, 0, 40, true},
        {"9200", 1, 76, 1, 30, false},        {"9800pro", 1, 150, 0, 58, true},
        {"9800pro", 1, 100, -1, 100, false},  {"9600pro", 1, 250, 0, 45, true},
        {"9500pro-f2", 1, 200, 0, 200, true}, {"9700pro-12", 1, 39, 0, 45, true},
        {"9700pro", 1, 100, 0, 255, false},   {"9800pro", -1, 100, 0, 255, false},
        {"9800pro", 0, 100, 0, 255, false},   {"9800pro", 1, -1, 0, 58, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.board) + " fancontrol " + std::to_string(c.fancontrol) +
                     " fanspeed " + std::to_string(c.fanspeed));
        Load(c.board);
        if (c.fancontrol >= 0) {
            SetKey("fancontrol", static_cast<uint32_t>(c.fancontrol));
        }
        if (c.fanspeed >= 0) {
            SetKey("fanspeed", static_cast<uint32_t>(c.fanspeed));
        }
        if (c.fan4temp >= 0) {
            SetKey("Fan4Temp", static_cast<uint32_t>(c.fan4temp));
        }
        m_dir.Write("kest.txt", Le(0, 0));
        MakeFrame();
        EXPECT_EQ(m_machine->FanDrive(), c.drive);
        EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), c.guard ? kFanGuardPeriodMs : 0u);
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MainFrameTest, FanGuardTripTable) {
    struct Case {
        const char* board;
        std::vector<int64_t> readings;
        bool trips;
        int reads;
    };
    constexpr int64_t kFail = RecordingTransport::kFail;
    const Case cases[] = {
        {"9800pro", {69, 69}, false, 1}, {"9800pro", {70, 0}, false, 1},
        {"9800pro", {71, 69}, true, 2},  {"9800pro", {71, 68}, false, 2},
        {"9800pro", {4, 68}, false, 2},  {"9800pro", {4, 4}, true, 2},
        {"9600pro", {61, 59}, true, 2},  {"9600pro", {61, 58}, false, 2},
        {"9600pro", {60, 99}, false, 1}, {"9600pro", {kFail, kFail}, true, 2},
        {"9200", {61, 59}, true, 2},     {"9200", {5, 0}, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.board) + " " + std::to_string(c.readings[0]) + " then " +
                     std::to_string(c.readings[1]));
        Load(c.board);
        SetKey("fancontrol", 1);
        SetKey("fanspeed", 50);
        SetKey("Fan4Temp", 0);
        m_dir.Write("kest.txt", Le(0, 0));
        MakeFrame();
        g_bFanGuardTripped = 0;
        m_transport.temp3Script.assign(c.readings.begin(), c.readings.end());
        ClearRequests();
        m_frame->OnFanGuardTimer(kFanGuardTimer);
        EXPECT_EQ(static_cast<int>(ValuesOf(IOCTL_READ_TEMP3).size()), c.reads);
        EXPECT_EQ(g_bFanGuardTripped, c.trips ? 1 : 0);
        EXPECT_EQ(m_machine->FanDrive(), c.trips ? 255 : 50);
        EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), c.trips ? 0u : kFanGuardPeriodMs);
        // A tripped guard writes 255 once: the board reads it back at once.
        EXPECT_EQ(ValuesOf(IOCTL_SET_FAN_DRIVE).size(), c.trips ? 1u : 0u);
        m_transport.temp3Script.clear();
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MainFrameTest, TrippedGuardWritesElevenTimesWhenTheDriveNeverReadsBack) {
    Load("9800pro");
    SetKey("fancontrol", 1);
    SetKey("fanspeed", 60);
    SetKey("Fan4Temp", 0);
    m_dir.Write("kest.txt", Le(380, 340));
    MakeFrame();
    m_machine->SetChipPresent(false);  // readings fail (0) and the drive never reads back
    ClearRequests();
    m_frame->OnFanGuardTimer(kFanGuardTimer);
    EXPECT_EQ(g_bFanGuardTripped, 1);
    EXPECT_EQ(ValuesOf(IOCTL_SET_FAN_DRIVE), std::vector<uint32_t>(11, 255));
    EXPECT_EQ(ValuesOf(IOCTL_GET_FAN_DRIVE).size(), 11u);
    // Latched: a guard started again only reads the temperature.
    m_frame->StartFanGuard();
    ClearRequests();
    m_frame->OnFanGuardTimer(kFanGuardTimer);
    EXPECT_EQ(Codes(), std::vector<uint32_t>{IOCTL_READ_TEMP3});
    m_machine->SetChipPresent(true);
}

// The guard runs on the frame's window timer every thirty seconds, and each firing of that
// timer reads the VPU temperature.
TEST_F(MainFrameTest, FanGuardChecksEveryThirtySeconds) {
    Load("9600pro");
    SetKey("fancontrol", 1);
    SetKey("fanspeed", 50);
    SetKey("Fan4Temp", 0);
    m_dir.Write("kest.txt", Le(0, 0));
    MakeFrame();
    EXPECT_EQ(m_frame->GetTimerPeriod(m_frame->m_nFanGuardTimer), 30000u);
    ClearRequests();
    m_frame->FireTimer(m_frame->m_nFanGuardTimer);
    EXPECT_EQ(Codes(), std::vector<uint32_t>{IOCTL_READ_TEMP3});
}

// The board session needs no window: start-up, a resume and the guard's policy on the board.
TEST_F(MainFrameTest, BoardSessionWithoutWindows) {
    Load("9800pro");
    SetKey("fancontrol", 1);
    SetKey("fanspeed", 90);
    SetKey("Fan4Temp", 0);
    m_dir.Write("kest.txt", Le(400, 350));
    BoardSession session;
    ASSERT_EQ(session.Start(), BoardSession::Clocks::kApplied);
    EXPECT_TRUE(session.ApplyFanSettings());
    ExpectClocksNear(*m_machine, 400, 350);
    EXPECT_EQ(m_machine->FanDrive(), 90);
    WriteClockDividers((PllWord() & 0xFF0000FFu) | 0x00505000u);
    ASSERT_EQ(session.Resume(), BoardSession::Clocks::kApplied);
    ExpectClocksNear(*m_machine, 400, 350);
    m_transport.temp3Script.assign({71, 69});
    EXPECT_TRUE(session.CheckFanGuard());
    EXPECT_EQ(m_machine->FanDrive(), 255);
    EXPECT_FALSE(session.CheckFanGuard());  // latched
    ASSERT_EQ(unlink("kest.txt"), 0);
    const uint32_t word = PllWord();
    EXPECT_EQ(session.Resume(), BoardSession::Clocks::kNoFile);
    EXPECT_EQ(PllWord(), word);
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
}

TEST_F(MainFrameTest, ResumeReappliesClocksFanAndColour) {
    Load("9800pro");
    SetKey("fancontrol", 1);
    SetKey("fanspeed", 90);
    SetKey("Fan4Temp", 1);
    m_dir.Write("kest.txt", Le(400, 350));
    MakeFrame();
    ExpectClocksNear(*m_machine, 400, 350);
    // While asleep the board lost its settings; the user also allowed the guard meanwhile.
    SendDriverValue(IOCTL_SET_FAN_DRIVE, 255);
    WriteClockDividers(0x00000000u | (PllWord() & 0xFF0000FFu) | 0x00505000u);
    SetKey("Fan4Temp", 0);
    m_dir.Write("kest.txt", Le(420, 360));
    ClearRequests();
    m_frame->OnSystemResumed();
    const std::vector<uint32_t> expected = {IOCTL_REINIT_MONITOR,     IOCTL_ALARMS_OFF,
                                            IOCTL_GET_CLOCK_DIVIDERS, IOCTL_READ_PLL_REG,
                                            IOCTL_READ_PLL_REG,       IOCTL_SET_CLOCK_DIVIDERS,
                                            IOCTL_SET_FAN_DRIVE};
    EXPECT_EQ(Codes(), expected);
    ExpectClocksNear(*m_machine, 420, 360);
    EXPECT_EQ(m_machine->FanDrive(), 90);
    EXPECT_EQ(g_nFan4Temp, 0);
    EXPECT_EQ(m_frame->GetTimerPeriod(kFanGuardTimer), kFanGuardPeriodMs);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0x00C8D0D4u);
}

TEST_F(MainFrameTest, ResumeWithoutTheFileOpensTheMainDialog) {
    Load("9700pro");
    m_dir.Write("kest.txt", Le(325, 311));
    MakeFrame();
    ASSERT_EQ(unlink("kest.txt"), 0);
    m_frame->OnSystemResumed();
    ASSERT_NE(m_frame->m_pConfigDlg, nullptr);
    EXPECT_EQ(g_bConfigShown, 1);
    EXPECT_EQ(KestTxt(), Le(325, 311));
}

TEST_F(MainFrameTest, SecondInstanceAppliesEverythingAgain) {
    Load("9800pro");
    SetKey("fancontrol", 1);
    SetKey("fanspeed", 70);
    m_dir.Write("kest.txt", Le(390, 345));
    MakeFrame();
    CMainFrame second(true);
    second.StartSession();
    ASSERT_TRUE(second.LoadFrame());
    // Nothing notices the first: the second sends the whole start-up again.
    EXPECT_EQ(ValuesOf(IOCTL_SET_CLOCK_DIVIDERS).size(), 2u);
    EXPECT_EQ(ValuesOf(IOCTL_SET_FAN_DRIVE), (std::vector<uint32_t>{70, 70}));
    second.DestroyWindow();
}

TEST_F(MainFrameTest, ServiceStoppedWhileRunningFailsQuietlyAndRecovers) {
    Load("9800pro");
    SetKey("fancontrol", 1);
    SetKey("fanspeed", 70);
    SetKey("Fan4Temp", 0);
    m_dir.Write("kest.txt", Le(390, 345));
    MakeFrame();
    m_frame->ShowConfigDialog();
    StopService();
    g_bFanGuardTripped = 0;
    m_frame->OnFanGuardTimer(kFanGuardTimer);  // two failed readings: the guard trips
    EXPECT_EQ(g_bFanGuardTripped, 1);
    // The dialog closed while the service is away leaves the file alone.
    m_frame->m_pConfigDlg->SendMessage(WM_CLOSE);
    user::Settle();
    EXPECT_EQ(KestTxt(), Le(390, 345));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    StartService();
    m_frame->ShowConfigDialog();
    ASSERT_NE(m_frame->m_pConfigDlg, nullptr);
    ExpectClocksNear(*m_machine, 390, 345);
}

TEST_F(MainFrameTest, TrayMenuAndDoubleClick) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(380, 340));
    MakeFrame();
    m_frame->SendMessage(kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
    ASSERT_NE(m_frame->m_pConfigDlg, nullptr);
    EXPECT_TRUE(m_frame->m_pConfigDlg->IsWindowVisible());
    EXPECT_EQ(g_bConfigShown, 1);
    m_frame->SendMessage(kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(m_frame->m_pConfigDlg->IsWindowVisible());
    EXPECT_EQ(g_bConfigShown, 0);
    // "Show &Config" shows the same dialog again.
    CMonitorDlg* dlg = m_frame->m_pConfigDlg;
    m_frame->SendMessage(WM_COMMAND, ID_SHOW_CONFIG, 0);
    EXPECT_EQ(m_frame->m_pConfigDlg, dlg);
    EXPECT_TRUE(dlg->IsWindowVisible());
    // The right button opens menu 131 at the cursor; choosing "&Exit" ends the program. The
    // person acts while the menu is open, whether its loop is the system's own or not.
    std::vector<CString> items;
    bool chosen = false;
    user::Later([&]() {
        items = user::PopupMenuItems();
        chosen = user::ChooseMenuItem(1);
    });
    m_frame->SendMessage(kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    RunPostedEvents();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], "Show &Config");
    EXPECT_EQ(items[1], "&Exit");
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(m_frame->ExitRequested());
    EXPECT_TRUE(user::PopupMenuItems().empty());
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
}

using MainFrameDeathTest = MainFrameTest;

TEST_F(MainFrameDeathTest, NoServiceAtStartIsDeviceAccessDenyWithExitOne) {
    Load("9800pro");
    StopService();
    EXPECT_EXIT(
        {
            SetMessageBoxService(nullptr);
            BoardSession().Start();
        },
        ::testing::ExitedWithCode(1), "ZEL ERROR.*Device access deny");
}

TEST_F(MainFrameDeathTest, UnsupportedBoardWithAFileEndsWithExitOne) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(380, 340));
    m_transport.pciIdOverride = 0x4E461002;
    EXPECT_EXIT(
        {
            SetMessageBoxService(nullptr);
            BoardSession().Start();
        },
        ::testing::ExitedWithCode(1), "ZEL.*Graphic Card not supported!");
    EXPECT_EQ(ValuesOf(IOCTL_SET_CLOCK_DIVIDERS).size(), 0u);
}

TEST_F(MainFrameDeathTest, UnsupportedBoardOnFirstRunEndsWithExitOne) {
    Load("9800pro");
    m_transport.pciIdOverride = 0x4E461002;
    EXPECT_EXIT(
        {
            SetMessageBoxService(nullptr);
            CMainFrame frame(true);
            frame.StartSession();  // the first-run dialog finds no board row
        },
        ::testing::ExitedWithCode(1), "Graphic Card not supported!");
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
}

}  // namespace
}  // namespace kesttest
