// The clock tuning panel on the simulated board: sliders, "&Apply" with each way out of the
// confirm dialog, the presets and their text guards. Clocks are checked in the board's PLL
// divider register, the file byte for byte, the confirm countdown through its timer handler.
#include <cstdio>
#include <functional>

#include "tests/shell/clock_panel_fixture.h"
#include "tests/support/window_system.h"

namespace kesttest {
namespace {

// Requested clocks through compose, the board and the read-back, kept with OK.
TEST_F(ClockPanelTest, ApplyKeptWithOkProgramsReadsBackAndStores) {
    struct Row {
        const char* board;
        int engine;  // requested, MHz
        int memory;  // requested real clock, MHz
        uint32_t engineFb;
        uint32_t memoryFb;
        int shownEngine;  // read back and snapped
        int shownMemory;
    };
    const Row rows[] = {
        {"9700pro", 325, 311, 132, 127, 325, 311},  // 324 read back, snapped to 325
        {"9800pro", 400, 311, 163, 127, 400, 311},  // exact
        {"9800pro", 327, 300, 133, 122, 326, 299},  // 326 shown, asked and stored; no memory snap
        {"9600pro", 400, 300, 163, 122, 400, 300},  // 299 snapped only on this board
        {"9600pro-a", 400, 300, 163, 122, 400, 299},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.board) + " " + std::to_string(r.engine));
        Open(r.board, 400, 300);
        const uint32_t before = PllWord();
        Slide(1004, r.engine);
        Slide(1005, 2 * r.memory);
        const std::string summary = Apply(&PressOk);
        const uint32_t word = PllWord();
        EXPECT_EQ(EngineFeedback(word), r.engineFb);
        EXPECT_EQ(MemoryFeedback(word), r.memoryFb);
        EXPECT_EQ(word & 0xFF, 0x0Bu);
        EXPECT_EQ(word >> 24, before >> 24);
        EXPECT_EQ(summary, "VPU SPEED->" + std::to_string(r.shownEngine) + " MHz/MEMORY SPEED->" +
                               std::to_string(2 * r.shownMemory) + " MHz");
        EXPECT_EQ(Text(1037), "current: " + Mhz(r.shownEngine));
        EXPECT_EQ(Text(1038), "current: " + Mhz(2 * r.shownMemory));
        EXPECT_EQ(Text(1009), Mhz(r.shownEngine));
        EXPECT_EQ(KestTxt(), Le(r.shownEngine, r.shownMemory));
        CloseWindows();
        SetDeviceTransport(nullptr);
        host::UnloadDriver();
        host::AttachPortBus(nullptr);
    }
}

TEST_F(ClockPanelTest, SlidersChangeOnlyTheMemberAndTheBox) {
    Open("9800pro", 380, 340);
    ClearRequests();
    Slide(1005, 601);
    EXPECT_EQ(m_dlg->m_nMemoryClock, 300);
    EXPECT_EQ(Text(1013), "600MHz");
    Slide(1004, 350);
    EXPECT_EQ(m_dlg->m_nEngineClock, 350);
    EXPECT_EQ(Text(1009), "350MHz");
    EXPECT_EQ(Text(1037), "current: 380MHz");
    EXPECT_EQ(Text(1038), "current: 680MHz");
    EXPECT_TRUE(m_transport.requests.empty());
    EXPECT_EQ(KestTxt(), Le(380, 340));
}

// Every way out but OK writes the word read before Apply back bit for bit, whatever its
// reference divider, and leaves the file alone.
TEST_F(ClockPanelTest, EveryWayOutButOkRestoresTheOldWord) {
    struct Way {
        const char* name;
        std::function<void(CClockConfirmDlg&)> act;
    };
    const Way ways[] = {
        {"Cancel", [](CClockConfirmDlg& d) { user::Click(d.GetDlgItemHwnd(IDCANCEL)); }},
        {"Escape", &PressEscape},
        {"close box", [](CClockConfirmDlg& d) { user::Close(d.GetSafeHwnd()); }},
        {"countdown",
         [](CClockConfirmDlg& d) {
             for (int i = 0; i < 10; ++i) {
                 d.OnTimer(1);
             }
         }},
    };
    Open("9800pro", 380, 340);
    const std::string file = KestTxt();
    // Old words as another program may leave them: reference 12 and 11 with odd top bits.
    const uint32_t olds[] = {0x7A8C7E0Cu, 0x06D0A10Bu};
    for (const Way& way : ways) {
        for (uint32_t old : olds) {
            SCOPED_TRACE(std::string(way.name) + " " + std::to_string(old));
            ForceWord(old);
            Slide(1004, 400);
            Slide(1005, 700);
            Apply(way.act);
            EXPECT_EQ(PllWord(), old);
            EXPECT_EQ(KestTxt(), file);
            EXPECT_EQ(Text(1009), Mhz(m_dlg->m_nEngineClock));
            EXPECT_EQ(Text(1037), "current: " + Mhz(m_dlg->m_nEngineClock));
            EXPECT_NE(m_dlg->m_nEngineClock, 400);
        }
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// A word without a reference divider cannot be decoded: nothing faults, the working clocks
// stay, and Cancel still puts the word back exactly.
TEST_F(ClockPanelTest, OldWordWithReferenceZeroIsRestoredWithoutDecoding) {
    Open("9800pro", 380, 340);
    const uint32_t old = 0x068CBD00u;
    ForceWord(old);
    Slide(1004, 400);
    Slide(1005, 700);
    Apply(&PressEscape);
    EXPECT_EQ(PllWord(), old);
    // The read-back of the refused clocks is what the working clocks still hold.
    EXPECT_EQ(m_dlg->m_nWorkEngine, 400u);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ClockPanelTest, UnreadableWordAtApplyDoesNothing) {
    Open("9800pro", 380, 340);
    Slide(1004, 400);
    StopService();
    int shown = 0;
    Apply([&](CClockConfirmDlg&) { ++shown; });
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    StartService();
    EXPECT_EQ(EngineFeedback(PllWord()), 155u);  // 380 MHz still
    EXPECT_EQ(KestTxt(), Le(380, 340));
}

// The service failing exactly one divider-word read: at the start of Apply nothing happens; inside
// the clamp nothing is written and the user is told; at the read-back the decoder gets nothing
// and the requested clocks are asked about. Cancel puts the old word back every time.
TEST_F(ClockPanelTest, UnreadableWordAtEachStepOfApply) {
    class FailingRead : public RecordingTransport {
    public:
        bool Control(DeviceHandle handle, uint32_t code, const void* in, uint32_t inLength,
                     void* out, uint32_t outLength, uint32_t* status,
                     uint32_t* information) override {
            if (code == IOCTL_GET_CLOCK_DIVIDERS && ++reads == failAt) {
                requests.push_back(Request{code, 0});
                return false;
            }
            return RecordingTransport::Control(handle, code, in, inLength, out, outLength, status,
                                               information);
        }
        int failAt = 0;
        int reads = 0;
    };
    struct Row {
        int failAt;
        int dialogs;
        std::vector<std::string> boxes;
        std::string summary;
    };
    const Row rows[] = {
        {1, 0, {}, ""},
        {2, 1, {"Device access deny"}, "VPU SPEED->380 MHz/MEMORY SPEED->680 MHz"},
        {3, 1, {}, "VPU SPEED->400 MHz/MEMORY SPEED->680 MHz"},
    };
    Open("9800pro", 380, 340);
    const uint32_t old = PllWord();
    const std::string file = KestTxt();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.failAt);
        FailingRead failing;
        failing.failAt = r.failAt;
        SetDeviceTransport(&failing);
        Slide(1004, 400);
        const std::size_t firstBox = m_boxes.Boxes().size();
        int dialogs = 0;
        const std::string summary = Apply([&](CClockConfirmDlg& d) {
            ++dialogs;
            PressEscape(d);
        });
        SetDeviceTransport(&m_transport);
        EXPECT_EQ(dialogs, r.dialogs);
        EXPECT_EQ(summary, r.summary);
        std::vector<std::string> boxes;
        for (std::size_t i = firstBox; i < m_boxes.Boxes().size(); ++i) {
            boxes.push_back(m_boxes.Boxes()[i].text);
            EXPECT_EQ(m_boxes.Boxes()[i].caption, "ZEL");
        }
        EXPECT_EQ(boxes, r.boxes);
        std::vector<uint32_t> writes;
        for (const Request& q : failing.requests) {
            if (q.code == IOCTL_SET_CLOCK_DIVIDERS) {
                writes.push_back(q.value);
            }
        }
        // A failed clamp writes nothing before the dialog; Cancel writes the old word.
        if (r.failAt == 2) {
            EXPECT_EQ(writes, std::vector<uint32_t>{old});
        }
        EXPECT_EQ(PllWord(), old);
        EXPECT_EQ(KestTxt(), file);
    }
}

TEST_F(ClockPanelTest, InvalidEnginePostSelectorKeepsTheWord) {
    Open("9800pro", 380, 340);
    const uint32_t before = PllWord();
    const std::string file = KestTxt();
    m_machine->SetInvalidPostCodes(true);
    Slide(1004, 400);
    Apply(&PressEscape);
    EXPECT_EQ(PllWord(), before);
    EXPECT_EQ(KestTxt(), file);
    ASSERT_FALSE(m_boxes.Boxes().empty());
    for (const RecordedBox& box : m_boxes.Boxes()) {
        EXPECT_EQ(box.text, "Not correct MCLK_POST!");
        EXPECT_EQ(box.caption, "ZEL");
    }
    m_machine->SetInvalidPostCodes(false);
}

// A memory post selector the clock code does not know (left by another program): every step
// that meets it says so by name, the word is only ever re-written unchanged, the file stays.
TEST_F(ClockPanelTest, InvalidMemoryPostSelectorKeepsTheWord) {
    Open("9800pro", 380, 340);
    const uint32_t memoryPost = m_machine->PllRegister(0x12);
    PokePll(*m_machine, 0x12, (memoryPost & ~7u) | 5);
    const uint32_t before = PllWord();
    const std::string file = KestTxt();
    Slide(1004, 400);
    Slide(1005, 700);
    const std::string summary = Apply(&PressEscape);
    EXPECT_EQ(PllWord(), before);
    EXPECT_EQ(KestTxt(), file);
    // Compose, the read-back's decode and the revert's decode each stop at the memory selector.
    ASSERT_EQ(m_boxes.Boxes().size(), 3u);
    for (const RecordedBox& box : m_boxes.Boxes()) {
        EXPECT_EQ(box.text, "Not correct XCLK_POST!");
        EXPECT_EQ(box.caption, "ZEL");
    }
    // The engine clock was decoded from the unchanged word; the memory clock kept its request.
    EXPECT_EQ(summary, "VPU SPEED->380 MHz/MEMORY SPEED->700 MHz");
    EXPECT_EQ(m_machine->PllRegister(0x12) & 7, 5u);
}

// The panel's sample timer keeps running while the new clocks wait for confirmation; the
// samples neither disturb the countdown nor the revert.
TEST_F(ClockPanelTest, MonitorSamplesWhileTheConfirmDialogCounts) {
    Open("9800pro", 380, 340);
    m_dlg->SendMessage(WM_COMMAND, 1091, 0);  // "Enable Hardware Monitor"
    m_machine->PinSensor(sim::Sensor::temp3, 50);
    const uint32_t old = PllWord();
    Slide(1004, 400);
    uint32_t during = 0;
    Apply([&](CClockConfirmDlg& d) {
        during = PllWord();
        for (int i = 0; i < 9; ++i) {
            m_dlg->SendMessage(WM_TIMER, 1, 0);
            d.OnTimer(1);
            EXPECT_NE(d.GetSafeHwnd(), nullptr) << "tick " << i;
        }
        EXPECT_EQ(Text(1061), "50 C/ 122 F");
        EXPECT_EQ(PllWord(), during);
        d.OnTimer(1);  // the tenth tick
    });
    EXPECT_EQ(EngineFeedback(during), 163u);
    EXPECT_EQ(PllWord(), old);
    EXPECT_EQ(KestTxt(), Le(380, 340));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ClockPanelTest, DefaultSettingsApplyAtOnceAndReplaceTheFile) {
    Open("9800pro", 400, 360);
    int shown = 0;
    SetModalDialogHook([&](CDialog&) { ++shown; });
    ChoosePreset(0);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(EngineFeedback(PllWord()), 155u);  // 380 MHz
    EXPECT_EQ(MemoryFeedback(PllWord()), 139u);  // 340 MHz
    EXPECT_EQ(KestTxt(), Le(380, 340));
    EXPECT_EQ(Text(1037), "current: 380MHz");
    EXPECT_EQ(Text(1038), "current: 680MHz");
}

// A stored clock outside the board's window: the fallback goes to the board and the file, and
// the panel shows the fallback, not the stored value.
TEST_F(ClockPanelTest, ClampedPreferredClocksAreShownAsApplied) {
    Open("9800pro", 380, 340);
    m_dir.Write("kest.txt", Le(900, 340));
    ChoosePreset(1);
    EXPECT_EQ(EngineFeedback(PllWord()), 155u);
    EXPECT_EQ(KestTxt(), Le(380, 340));
    EXPECT_EQ(Text(1037), "current: 380MHz");
    EXPECT_EQ(Text(1009), "380MHz");
    EXPECT_EQ(static_cast<CSliderCtrl*>(m_dlg->GetDlgItem(1004))->GetPos(), 380);
}

// A clock label shows its whole reading on one line: measured in the label's own font, as the
// system wraps a static whose text is wider than the static.
TEST_F(ClockPanelTest, ClockLabelsHoldTheirReadings) {
    Open("9800pro", 380, 340);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    for (const int id : {1032, 1033, 1037, 1038}) {
        CWnd* label = m_dlg->GetDlgItem(id);
        dc.SelectObject(label->GetFont());
        RECT rc{};
        label->GetClientRect(&rc);
        EXPECT_LE(dc.GetTextExtent(Text(id)).cx, rc.right) << id << " " << Text(id).GetString();
    }
}

TEST_F(ClockPanelTest, PresetWithTheFileMissingCreatesItFromTheHardware) {
    Open("9800pro", 400, 360);
    ASSERT_EQ(unlink("kest.txt"), 0);
    ChoosePreset(1);
    EXPECT_EQ(KestTxt(), Le(400, 360));  // read from the board, then applied and stored
    EXPECT_EQ(EngineFeedback(PllWord()), 163u);

    ASSERT_EQ(unlink("kest.txt"), 0);
    const uint32_t before = PllWord();
    StopService();
    ChoosePreset(1);
    StartService();
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
    EXPECT_EQ(PllWord(), before);
    ASSERT_EQ(m_boxes.Texts(), std::vector<std::string>{"Device access deny"});
    EXPECT_EQ(m_boxes.Boxes()[0].caption, "ZEL ERROR");
}

TEST_F(ClockPanelTest, PresetTextGuards) {
    Open("9800pro", 380, 340);
    // A box the person can type into, and what they type is taken back.
    ASSERT_EQ(m_dlg->m_cbPreset.GetStyle() & CBS_DROPDOWNLIST, CBS_DROPDOWN);
    user::Type(m_dlg->m_cbPreset.GetSafeHwnd(), "x");
    EXPECT_EQ(Text(1019), "Preferred Settings");
    // Either slider painting turns a shown "Default Settings" back; only the text changes.
    m_dlg->m_cbPreset.SetCurSel(0);
    for (int id : {1004, 1005}) {
        m_dlg->m_cbPreset.SetWindowText("Default Settings");
        user::Capture(m_dlg->GetDlgItemHwnd(id));  // the slider paints
        EXPECT_EQ(Text(1019), "Preferred Settings") << id;
        EXPECT_EQ(m_dlg->m_cbPreset.GetCurSel(), 0);
    }
    // Other text is left alone.
    m_dlg->m_cbPreset.SetWindowText("Default");
    user::Capture(m_dlg->GetDlgItemHwnd(1004));
    EXPECT_EQ(Text(1019), "Default");
}

// "&Exit" while the new clocks wait for confirmation: the old word goes back before the exit
// path stores what the hardware holds, so the unconfirmed clocks never reach the file.
TEST_F(ClockPanelTest, ExitDuringTheCountdownRevertsBeforeStoring) {
    ExpectExitRevertsBeforeStoring(
        [this] { m_frame->SendMessage(WM_COMMAND, ID_APP_EXIT_TRAY, 0); });
}

TEST_F(ClockPanelTest, RadeonNineTwoHundredPanelIsOutOfReach) {
    Load("9200");
    MakeFrame();
    m_frame->ShowConfigDialog();
    m_dlg = m_frame->m_pConfigDlg;
    const uint32_t before = PllWord();
    ClearRequests();
    for (int id : {1004, 1005, 1006, 1019}) {
        EXPECT_FALSE(m_dlg->GetDlgItem(id)->IsWindowEnabled()) << id;
    }
    user::Click(m_dlg->GetDlgItemHwnd(1006));
    user::Key(m_dlg->GetDlgItemHwnd(1004), user::kRight);
    EXPECT_TRUE(m_transport.requests.empty());
    EXPECT_EQ(PllWord(), before);
    EXPECT_FALSE(m_dir.Exists("kest.txt"));
}

using ClockPanelDeathTest = ClockPanelTest;

// The board no longer found when "Default Settings" is chosen ends the program like every other
// unsupported-board path: the box, then exit code 1, and nothing reaches the clocks.
TEST_F(ClockPanelDeathTest, DefaultSettingsOnAnUnknownBoardEndsWithExitOne) {
    // Windows only in the child: while the parent waits for it without a message loop, windows
    // of the parent would hold up the child's change of the system colours, which every
    // top-level window is sent.
    EXPECT_EXIT(
        {
            Open("9800pro", 400, 360);
            const uint32_t before = PllWord();
            m_boxes.Answer(IDOK, [&]() {
                const RecordedBox& box = m_boxes.Boxes().back();
                std::fprintf(stderr, "%s: %s, clocks %s\n", box.caption.c_str(), box.text.c_str(),
                             PllWord() == before ? "kept" : "changed");
            });
            g_nAdapterId = 0x4E461002;
            ChoosePreset(0);
        },
        ::testing::ExitedWithCode(1), "ZEL.*: Graphic card not supported!, clocks kept");
}

}  // namespace
}  // namespace kesttest
