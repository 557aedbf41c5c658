// The main dialog's set-up on every board kind and its window behaviour.
#include <filesystem>
#include <string>

#include "app/clock/board_table.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/user_input.h"
#include "tests/support/window_system.h"

namespace kesttest {
namespace {

class MonitorDlgTest : public ShellTest {
protected:
    // Start-up as the program does it, with a file holding the clocks given, then the dialog.
    CMonitorDlg* Open(const std::string& board, int engine, int memory) {
        Load(board);
        m_dir.Write("kest.txt", Le(engine, memory));
        MakeFrame();
        m_frame->ShowConfigDialog();
        return m_frame->m_pConfigDlg;
    }
    static CString Text(CWnd* dlg, int id) {
        CString s;
        dlg->GetDlgItemText(id, s);
        return s;
    }
    static CString Caption(CWnd* wnd) {
        CString s;
        wnd->GetWindowText(s);
        return s;
    }
    static CString Mhz(int value) { return CString(std::to_string(value) + "MHz"); }
    // Whether the control is shown (not hidden), whatever its dialog is.
    static bool Shown(CWnd* wnd) { return (wnd->GetStyle() & WS_VISIBLE) != 0; }
    static CSliderCtrl* Slider(CWnd* dlg, int id) {
        return static_cast<CSliderCtrl*>(dlg->GetDlgItem(id));
    }
    static std::vector<std::string> SysInfo(CMonitorDlg* dlg) {
        std::vector<std::string> lines;
        for (int i = 0; i < dlg->m_lbSysInfo.GetCount(); ++i) {
            CString s;
            dlg->m_lbSysInfo.GetText(i, s);
            lines.push_back(s.GetStdString());
        }
        return lines;
    }
};

TEST_F(MonitorDlgTest, SetUpOnEveryBoardKind) {
    for (const CatalogueBoard& board : SupportedBoards()) {
        SCOPED_TRACE(board.name);
        const BoardRow* row = FindBoardRow(board.adapter, board.subsystem);
        CMonitorDlg* dlg = Open(board.name, static_cast<int>(row->nDefaultEngine),
                                static_cast<int>(row->nDefaultMemory));
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(Caption(dlg), "Pelagon Graphics Monitor");
        // Sorted: AGP, driver, memory, model.
        const std::vector<std::string> lines = SysInfo(dlg);
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[0].rfind("AGP MAX Mode     ", 0), 0u);
        EXPECT_EQ(lines[1], "Driver Version       ");
        EXPECT_EQ(lines[2].rfind("Memory Size        ", 0), 0u);
        EXPECT_EQ(lines[3], std::string("VPU                     ") + row->lpszModel);
        EXPECT_EQ(Slider(dlg, 1004)->GetRangeMin(), row->nEngineSliderMin);
        EXPECT_EQ(Slider(dlg, 1004)->GetRangeMax(), row->nEngineSliderMax);
        EXPECT_EQ(Slider(dlg, 1005)->GetRangeMin(), row->nMemorySliderMin);
        EXPECT_EQ(Slider(dlg, 1005)->GetRangeMax(), row->nMemorySliderMax);
        const int engine = dlg->m_nEngineClock;
        const int memory = dlg->m_nMemoryClock;
        EXPECT_EQ(Slider(dlg, 1004)->GetPos(), engine);
        EXPECT_EQ(Slider(dlg, 1005)->GetPos(), 2 * memory);
        EXPECT_EQ(Text(dlg, 1009), Mhz(engine));
        EXPECT_EQ(Text(dlg, 1037), "current: " + Mhz(engine));
        EXPECT_EQ(Text(dlg, 1013), Mhz(2 * memory));
        EXPECT_EQ(Text(dlg, 1038), "current: " + Mhz(2 * memory));
        EXPECT_EQ(Text(dlg, 1032), "default: " + Mhz(static_cast<int>(row->nDefaultEngine)));
        EXPECT_EQ(Text(dlg, 1033), "default: " + Mhz(static_cast<int>(2 * row->nDefaultMemory)));
        EXPECT_NE(dlg->m_stBoardPicture.m_hBitmap, nullptr);
        EXPECT_EQ(dlg->m_tab.GetItemCount(), 3);
        EXPECT_EQ(dlg->m_tab.GetItemText(0), "Video Settings");
        EXPECT_EQ(dlg->m_tab.GetItemText(1), "Product Features");
        EXPECT_EQ(dlg->m_tab.GetItemText(2), "Help");
        EXPECT_EQ(dlg->m_tab.GetCurSel(), 0);
        CString preset;
        dlg->m_cbPreset.GetLBText(0, preset);
        EXPECT_EQ(preset, "Default Settings");
        EXPECT_EQ(Text(dlg, 1019), "Preferred Settings");
        EXPECT_EQ(Text(dlg, 1060), "Unknown");
        EXPECT_EQ(Text(dlg, 1061), "Unknown");
        EXPECT_FALSE(dlg->m_btnDetail.IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(1091)->IsWindowEnabled());
        EXPECT_NE(dlg->m_chart.GetSafeHwnd(), nullptr);
        const bool tunable = row->bTunable;
        for (int id : {1004, 1005, 1006, 1019}) {
            EXPECT_EQ(dlg->GetDlgItem(id)->IsWindowEnabled() != FALSE, tunable) << id;
        }
        EXPECT_EQ(m_dir.Exists("kest.txt"), true);
        EXPECT_TRUE(m_boxes.Boxes().empty());
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MonitorDlgTest, RadeonNineTwoHundredShowsFixedClocksAndReadsNoFile) {
    Load("9200");
    MakeFrame();
    m_frame->ShowConfigDialog();
    CMonitorDlg* dlg = m_frame->m_pConfigDlg;
    EXPECT_EQ(Text(dlg, 1009), "250MHz");
    EXPECT_EQ(Text(dlg, 1013), "400MHz");
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
    dlg->SendMessage(WM_CLOSE);
    user::Settle();
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
}

TEST_F(MonitorDlgTest, FirstRunCreatesTheFileWithTheDefaultsAndAppliesThem) {
    struct Case {
        const char* board;
        int engine, memory;
    };
    for (const Case& c :
         {Case{"9800pro", 380, 340}, Case{"9500pro-f2", 277, 271}, Case{"9600pro-a", 400, 275}}) {
        SCOPED_TRACE(c.board);
        Load(c.board);
        WriteClockDividers(PllWord() ^ 0x00101000u);  // something else in force before
        MakeFrame();
        // No file: the dialog opened during construction, before the tray icon existed.
        ASSERT_NE(m_frame->m_pConfigDlg, nullptr);
        EXPECT_EQ(g_bConfigShown, 1);
        EXPECT_EQ(KestTxt(), Le(c.engine, c.memory));
        EXPECT_NEAR(m_machine->EngineMhz(), c.engine, 3.0);
        EXPECT_NEAR(m_machine->MemoryMhz(), c.memory, 3.0);
        EXPECT_EQ(Slider(m_frame->m_pConfigDlg, 1004)->GetPos(), c.engine);
        EXPECT_EQ(Slider(m_frame->m_pConfigDlg, 1005)->GetPos(), 2 * c.memory);
        // The frame owns it once it exists, so "&Exit" destroys it.
        EXPECT_EQ(m_frame->m_pConfigDlg->GetOwner(), m_frame.get());
        CloseWindows();
        host::UnloadDriver();
        ASSERT_TRUE(std::filesystem::remove("kest.txt"));
    }
}

TEST_F(MonitorDlgTest, ClockFileThatCannotBeMadeStillAppliesTheDefaults) {
    Load("9800pro");
    ASSERT_TRUE(std::filesystem::create_directory("kest.txt"));  // where the file belongs
    MakeFrame();
    ASSERT_NE(m_frame->m_pConfigDlg, nullptr);  // treated as the first run
    EXPECT_NEAR(m_machine->EngineMhz(), 380, 3.0);
    EXPECT_NEAR(m_machine->MemoryMhz(), 340, 3.0);
    m_frame->m_pConfigDlg->SendMessage(WM_CLOSE);
    user::Settle();
    std::vector<std::string> names = m_dir.Names();
    std::erase(names, "KestATI.reg");  // the service key, where it is a file
    EXPECT_EQ(names, std::vector<std::string>{"kest.txt"});
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(MonitorDlgTest, SnapRulesAfterReadingTheFile) {
    struct Case {
        const char* board;
        int fileEngine, fileMemory, engine, memory;
    };
    const Case cases[] = {
        {"9700pro", 324, 310, 325, 310},   {"9500pro-f2", 277, 270, 277, 271},
        {"9800pro", 380, 342, 380, 340},   {"9600pro", 400, 299, 400, 300},
        {"9600pro-a", 400, 299, 400, 299}, {"9500pro", 276, 270, 276, 270},
        {"9800pro", 900, 340, 380, 340},  // outside the dialog's window: clamped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.board) + " " + std::to_string(c.fileEngine));
        CMonitorDlg* dlg = Open(c.board, c.fileEngine, c.fileMemory);
        EXPECT_EQ(dlg->m_nEngineClock, c.engine);
        EXPECT_EQ(dlg->m_nMemoryClock, c.memory);
        EXPECT_EQ(static_cast<int>(dlg->m_nWorkEngine), c.engine);
        EXPECT_EQ(static_cast<int>(dlg->m_nWorkMemory), c.memory);
        EXPECT_EQ(KestTxt(), Le(c.fileEngine, c.fileMemory));
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MonitorDlgTest, StartUpClampedButTheDialogKeepsItsWiderWindow) {
    // 600 is outside start-up's window on this board but inside the dialog's.
    CMonitorDlg* dlg = Open("9600pro-a", 600, 275);
    EXPECT_EQ(dlg->m_nEngineClock, 600);
    EXPECT_NEAR(m_machine->EngineMhz(), 600, 3.0);
    EXPECT_EQ(KestTxt(), Le(600, 275));
}

TEST_F(MonitorDlgTest, MissingChipWarnsOncePerDialog) {
    Load("nochip");
    m_dir.Write("kest.txt", Le(325, 311));
    MakeFrame();
    for (int round = 1; round <= 2; ++round) {
        m_frame->ShowConfigDialog();
        CMonitorDlg* dlg = m_frame->m_pConfigDlg;
        EXPECT_FALSE(dlg->GetDlgItem(1091)->IsWindowEnabled());
        ASSERT_EQ(static_cast<int>(m_boxes.Boxes().size()), round);
        const RecordedBox& box = m_boxes.Boxes().back();
        EXPECT_EQ(box.text, "WARNING: This graphic card is not enabled with hardware monitoring.");
        EXPECT_EQ(box.caption, "ZEL WARNING");
        EXPECT_EQ(box.flags, MB_ICONWARNING);
        dlg->SendMessage(WM_CLOSE);
        user::Settle();
    }
}

TEST_F(MonitorDlgTest, ReopeningWithTheMonitorOnRestartsIt) {
    CMonitorDlg* dlg = Open("9800pro", 380, 340);
    EXPECT_EQ(dlg->GetTimerPeriod(1), 0u);
    g_bMonitorOn = 1;  // switched on by the panel before the dialog was closed
    dlg->SendMessage(WM_CLOSE);
    user::Settle();
    EXPECT_EQ(m_frame->m_pConfigDlg, nullptr);
    ClearRequests();
    m_frame->ShowConfigDialog();
    dlg = m_frame->m_pConfigDlg;
    EXPECT_EQ(dlg->m_bMonitorOff, 0);
    EXPECT_EQ(dlg->GetTimerPeriod(1), 1000u);
    EXPECT_EQ(static_cast<CButton*>(dlg->GetDlgItem(1091))->GetCheck(), BST_CHECKED);
    EXPECT_TRUE(dlg->m_btnDetail.IsWindowEnabled());
    EXPECT_FALSE(dlg->m_btnHeatsink.IsWindowEnabled());
    // The last requests of the set-up: alarms off, then the switch-on steps with the limits.
    const std::vector<uint32_t> codes = Codes();
    const std::vector<uint32_t> tail = {
        IOCTL_ALARMS_OFF,      IOCTL_REINIT_MONITOR,  IOCTL_ALARMS_OFF,     IOCTL_SET_FAN1_LIMIT,
        IOCTL_SET_TEMP1_LIMIT, IOCTL_SET_TEMP2_LIMIT, IOCTL_SET_TEMP3_LIMIT};
    ASSERT_GE(codes.size(), tail.size());
    EXPECT_EQ(std::vector<uint32_t>(codes.end() - static_cast<long>(tail.size()), codes.end()),
              tail);
    EXPECT_EQ(ValuesOf(IOCTL_SET_TEMP3_LIMIT), std::vector<uint32_t>{85});
}

TEST_F(MonitorDlgTest, FanOptionsFollowTheServiceKey) {
    struct Case {
        const char* board;
        int64_t nofan, fancontrol;
        bool heatsinkChecked, customEnabled, customShown, customChecked;
    };
    const Case cases[] = {
        {"9800pro", 1, 1, true, false, true, true},
        {"9800pro", -1, 0, false, true, true, false},
        {"9700pro", 0, 1, false, true, false, true},
        {"9200", 7, 1, false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.board);
        Load(c.board);
        if (c.nofan >= 0) {
            SetKey("nofan", static_cast<uint32_t>(c.nofan));
        }
        SetKey("fancontrol", static_cast<uint32_t>(c.fancontrol));
        m_dir.Write("kest.txt", Le(0, 0));
        MakeFrame();
        m_frame->ShowConfigDialog();
        CMonitorDlg* dlg = m_frame->m_pConfigDlg;
        EXPECT_EQ(dlg->m_btnHeatsink.GetCheck() == BST_CHECKED, c.heatsinkChecked);
        EXPECT_EQ(dlg->m_btnCustomFan.IsWindowEnabled() != FALSE, c.customEnabled);
        EXPECT_EQ(dlg->m_btnCustomFan.IsWindowVisible() != FALSE, c.customShown);
        if (c.customShown) {
            EXPECT_EQ(dlg->m_btnCustomFan.GetCheck() == BST_CHECKED, c.customChecked);
        }
        EXPECT_EQ(dlg->m_bCustomFan, c.fancontrol == 1 ? 1 : 0);
        CloseWindows();
        host::UnloadDriver();
    }
}

#ifndef _WIN32
// Faults of the key as a file of its own (garbled text, no permission to read it); the registry,
// which is the key on Windows, has neither.
TEST_F(MonitorDlgTest, GarbledOrUnreadableServiceKeyReadsAsMissing) {
    Load("9800pro", false);
    m_dir.Write("KestATI.reg",
                "\x01\x02garbage\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet"
                "\\Services\\KestATI]\n\"nofan\"=dword:zz\n\"fancontrol\"=hex:\n");
    m_dir.Write("kest.txt", Le(380, 340));
    MakeFrame();
    EXPECT_EQ(m_machine->FanDrive(), 255);
    m_frame->ShowConfigDialog();
    EXPECT_EQ(m_frame->m_pConfigDlg->m_btnHeatsink.GetCheck(), BST_UNCHECKED);
    std::filesystem::permissions(m_key.Path(), std::filesystem::perms::none);
    m_frame->m_pConfigDlg->SendMessage(WM_CLOSE);
    user::Settle();
    m_frame->ShowConfigDialog();
    EXPECT_EQ(m_frame->m_pConfigDlg->m_btnHeatsink.GetCheck(), BST_UNCHECKED);
}
#endif

TEST_F(MonitorDlgTest, DriverVersionLineFromTheSystemDirectory) {
    const std::string driver = SystemDirectory() + "/ati2dvag.dll";
    ASSERT_TRUE(std::filesystem::copy_file(KEST_VERSIONED_DLL, driver,
                                           std::filesystem::copy_options::overwrite_existing));
    CMonitorDlg* dlg = Open("9700pro", 325, 311);
    const std::string line = SysInfo(dlg)[1];
    std::filesystem::remove(driver);  // the system's own directory outlives the test
    EXPECT_EQ(line, "Driver Version       6.14.10.6458");
}

TEST_F(MonitorDlgTest, CloseStoresTheReadBackClocksAndRestoresTheColour) {
    const COLORREF before = GetSysColor(COLOR_BTNFACE);
    CMonitorDlg* dlg = Open("9700pro", 325, 311);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0x00C8D0D4u);
    EXPECT_EQ(dlg->m_nEngineClock, 325);  // snapped from the 324 the hardware holds
    dlg->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_frame->m_pConfigDlg, nullptr);
    EXPECT_EQ(g_bConfigShown, 0);
    user::Settle();
    // 325 MHz composes to feedback 132, which reads back as 324: stored unsnapped.
    EXPECT_EQ(KestTxt(), Le(324, 311));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), before);
}

TEST_F(MonitorDlgTest, FailedReadAtCloseLeavesTheFile) {
    CMonitorDlg* dlg = Open("9800pro", 390, 345);
    StopService();
    dlg->SendMessage(WM_CLOSE);
    user::Settle();
    EXPECT_EQ(KestTxt(), Le(390, 345));
    StartService();
}

TEST_F(MonitorDlgTest, TabPagesShowTheirControls) {
    for (const char* board : {"9800pro", "9700pro"}) {
        SCOPED_TRACE(board);
        CMonitorDlg* dlg = Open(board, 0, 0);
        const bool fanBoard = IsFanControlBoard();
        auto shown = [dlg](int id) { return Shown(dlg->GetDlgItem(id)); };
        for (int page : {1, 2, 0, 2, 1}) {
            SCOPED_TRACE(page);
            dlg->m_tab.SetCurSel(page);
            LRESULT result = -1;
            dlg->OnTabSelChange(nullptr, &result);
            EXPECT_EQ(result, 0);
            for (int id :
                 {1004, 1005, 1009, 1013, 1006, 1019, 1023, 1041, 1032, 1033, 1037, 1038, 1011,
                  1015, 1012, 1016, 1034, 1035, 1042, 1056, 1059, 1062, 1063, 1060, 1061, 1064,
                  1065, 1076, 1077, 1078, 1079, 1080, 1089, 1090, 1091, 1095, 1039}) {
                EXPECT_EQ(shown(id), page == 0) << id;
            }
            EXPECT_EQ(Shown(&dlg->m_chart), page == 0);
            EXPECT_EQ(shown(1094), page == 0 && fanBoard);
            EXPECT_EQ(shown(1066), page != 0);
            EXPECT_EQ(shown(1008), page == 1);
            EXPECT_EQ(shown(1014), page == 2);
            for (int id : {1010, 1036, 1040, 1020}) {
                EXPECT_TRUE(shown(id)) << id;
            }
        }
        CloseWindows();
        host::UnloadDriver();
    }
}

TEST_F(MonitorDlgTest, TextPagesAreWhiteAndTheRestKeepsTheDialogColours) {
    CMonitorDlg* dlg = Open("9800pro", 380, 340);
    for (int id : {1008, 1014}) {
        CDC dc;
        HBRUSH brush = dlg->OnCtlColor(&dc, dlg->GetDlgItem(id), CTLCOLOR_STATIC);
        ASSERT_NE(brush, nullptr);
        LOGBRUSH lb{};
        ASSERT_EQ(::GetObject(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
        EXPECT_EQ(lb.lbColor, 0x00FFFFFFu);
        EXPECT_EQ(dc.GetBkColor(), 0x00FFFFFFu);
    }
    CDC dc;
    EXPECT_EQ(dlg->OnCtlColor(&dc, dlg->GetDlgItem(1040), CTLCOLOR_STATIC), nullptr);
    EXPECT_EQ(dlg->OnCtlColor(&dc, dlg->GetDlgItem(1008), CTLCOLOR_BTN), nullptr);
    CString features;
    dlg->m_editFeatures.GetWindowText(features);
    EXPECT_EQ(features.Find("Fastest 3D Gaming Performance\r\n\r\n  -128MB DDR memory "
                            "accelerates the latest 3D games"),
              0);
    CString help;
    dlg->m_editHelp.GetWindowText(help);
    EXPECT_EQ(help.Find("Pelagon Graphics Monitor FAQs\r\n\r\nQ: Why does my screen not "
                        "display properly after tuning the clock speed?"),
              0);
    const std::string text = help.GetStdString();
    int questions = 0;
    for (auto at = text.find("\r\nQ: "); at != std::string::npos;
         at = text.find("\r\nQ: ", at + 1)) {
        ++questions;
    }
    EXPECT_EQ(questions, 6);
}

TEST_F(MonitorDlgTest, EnterAndEscapeHideLikeTheTrayAndExchangeNothing) {
    CMonitorDlg* dlg = Open("9800pro", 380, 340);
    for (UINT key : {user::kEscape, user::kReturn}) {
        Slider(dlg, 1004)->SetPos(400);  // moved, never applied
        user::Key(dlg->GetSafeHwnd(), key);
        EXPECT_FALSE(dlg->IsWindowVisible());
        EXPECT_EQ(g_bConfigShown, 0);
        EXPECT_EQ(m_frame->m_pConfigDlg, dlg);
        EXPECT_EQ(dlg->m_nEngineClock, 380);
        m_frame->SendMessage(kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(dlg->IsWindowVisible());
        EXPECT_EQ(g_bConfigShown, 1);
    }
}

TEST_F(MonitorDlgTest, WithoutATrayClosingTheDialogExits) {
    Load("9800pro");
    m_dir.Write("kest.txt", Le(390, 345));
    MakeFrame(false);
    m_frame->ShowConfigDialog();
    CMonitorDlg* dlg = m_frame->m_pConfigDlg;
    user::Key(dlg->GetSafeHwnd(), user::kEscape);  // nothing to hide to
    EXPECT_TRUE(dlg->IsWindowVisible());
    ClearRequests();
    user::Close(dlg->GetSafeHwnd());
    EXPECT_TRUE(m_frame->ExitRequested());
    RunPostedEvents();
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
    // The dialog's destroy step, then the frame's: alarms off last.
    ASSERT_FALSE(Codes().empty());
    EXPECT_EQ(Codes().front(), IOCTL_GET_CLOCK_DIVIDERS);
    EXPECT_EQ(Codes().back(), IOCTL_ALARMS_OFF);
    EXPECT_EQ(KestTxt().size(), 8u);
}

TEST_F(MonitorDlgTest, RendersOffscreen) {
    CMonitorDlg* dlg = Open("9800pro", 380, 340);
    const kesttest::Image image = user::Capture(dlg->GetSafeHwnd());
    ASSERT_FALSE(image.Null());
    EXPECT_GT(image.width, 500);
    // The clock page between its controls is the face the labels on it are drawn on.
    RECT spot{200, 130, 0, 0};
    dlg->MapDialogRect(&spot);
    const kesttest::Image page = user::Capture(dlg->GetDlgItemHwnd(IDC_MAIN_TABS));
    ASSERT_LT(spot.top, page.height);
    EXPECT_EQ(page.At(spot.left, spot.top), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace kesttest
