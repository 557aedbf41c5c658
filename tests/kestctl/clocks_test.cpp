// kestctl clocks and clocks set on the simulated board, in process. What the hardware holds is
// read from the board's own PLL register and clock decoding, not from kestctl's arithmetic.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "tests/device/device_fixture.h"
#include "tests/host/kestatid_process.h"
#include "tools/kestctl/kestctl.h"

namespace {

// Answers come through a pipe the test fills or closes; `onPrompt` runs when "keep?" is asked.
class ScriptedIo : public KestctlIo {
public:
    ScriptedIo() { EXPECT_EQ(pipe(m_pipe), 0); }
    ~ScriptedIo() override {
        CloseAnswers();
        close(m_pipe[0]);
    }
    void Answer(const std::string& text) {
        EXPECT_EQ(write(m_pipe[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void CloseAnswers() {
        if (m_pipe[1] >= 0) {
            close(m_pipe[1]);
            m_pipe[1] = -1;
        }
    }
    void Out(const std::string& text) override {
        out += text;
        if (text == "keep? [y/N] " && onPrompt) {
            onPrompt();
        }
    }
    void Err(const std::string& text) override { err += text; }
    int Input() const override { return noInput ? -1 : m_pipe[0]; }
    int AnswerTimeoutMs() const override { return timeoutMs; }

    std::string out;
    std::string err;
    std::function<void()> onPrompt;
    int timeoutMs = 10000;
    bool noInput = false;

private:
    int m_pipe[2] = {-1, -1};
};

class ClocksTest : public kesttest::DeviceTest {
protected:
    void SetUp() override {
        kesttest::DeviceTest::SetUp();
        // kest.txt belongs to the program: the command must not write one here.
        ASSERT_EQ(chdir(m_dir.Path().c_str()), 0);
    }
    void TearDown() override {
        EXPECT_NE(access((m_dir.Path() + "/kest.txt").c_str(), F_OK), 0) << "kest.txt written";
        EXPECT_EQ(chdir("/"), 0);
        kesttest::DeviceTest::TearDown();
    }

    int Clocks(KestctlIo& io, std::vector<const char*> args) {
        args.insert(args.begin(), {"kestctl", "clocks"});
        return RunKestctl(static_cast<int>(args.size()), args.data(), io);
    }
    uint32_t Word() const { return m_machine->PllRegister(0x0A); }
    int EngineMhz() const { return static_cast<int>(m_machine->EngineMhz()); }
    int MemoryMhz() const { return static_cast<int>(m_machine->MemoryMhz()); }

    kesttest::TempDir m_dir;
};

TEST_F(ClocksTest, ShowsTheClocksInForceAndTheBoardsWindows) {
    ScriptedIo io;
    ASSERT_EQ(Clocks(io, {}), 0) << io.err;
    // The board runs its memory at 341 MHz, which the panel shows snapped onto its nominal 340,
    // doubled.
    ASSERT_EQ(EngineMhz(), 380);
    ASSERT_EQ(MemoryMhz(), 341);
    char expected[512];
    snprintf(expected, sizeof expected,
             "board ATI RADEON9800PRO (pciId 0x4E481002, subsystemId 0x00021002)\n"
             "dividers 0x%08X\nengine 380 MHz\nmemory 680 MHz\n"
             "default engine 380 MHz, memory 680 MHz\n"
             "engine window 315-455 MHz, fallback 380 MHz\n"
             "memory window 600-760 MHz, fallback 680 MHz\n",
             Word());
    EXPECT_EQ(io.out, expected);
}

TEST_F(ClocksTest, YesKeepsTheReadBackClocks) {
    const uint32_t old = Word();
    ScriptedIo io;
    ASSERT_EQ(Clocks(io, {"set", "400", "700", "--yes"}), 0) << io.err;
    EXPECT_NEAR(m_machine->EngineMhz(), 400, 2.5);
    EXPECT_NEAR(m_machine->MemoryMhz(), 350, 2.5);
    // The composed word keeps the top byte and always carries reference divider 11.
    EXPECT_EQ(Word() & 0xFF000000, old & 0xFF000000);
    EXPECT_EQ(Word() & 0xFF, 11u);
    char summary[128];
    snprintf(summary, sizeof summary, "VPU SPEED->%d MHz/MEMORY SPEED->%d MHz\nkept\n", EngineMhz(),
             2 * MemoryMhz());
    EXPECT_EQ(io.out, summary);
}

TEST_F(ClocksTest, AnythingButYesRevertsBitForBit) {
    struct Row {
        const char* what;
        std::function<void(ScriptedIo&)> script;
        bool kept;
    };
    const Row rows[] = {
        {"y", [](ScriptedIo& io) { io.Answer("y\n"); }, true},
        {"n", [](ScriptedIo& io) { io.Answer("n\n"); }, false},
        {"yes", [](ScriptedIo& io) { io.Answer("yes\n"); }, false},
        {"empty line", [](ScriptedIo& io) { io.Answer("\n"); }, false},
        {"closed input", [](ScriptedIo& io) { io.CloseAnswers(); }, false},
        {"y without end of line, then closed",
         [](ScriptedIo& io) {
             io.Answer("y");
             io.CloseAnswers();
         },
         false},
        {"no answer in time", [](ScriptedIo& io) { io.timeoutMs = 30; }, false},
        {"nobody to ask", [](ScriptedIo& io) { io.noInput = true; }, false},
        {"SIGINT", [](ScriptedIo& io) { io.onPrompt = [] { raise(SIGINT); }; }, false},
        {"SIGTERM", [](ScriptedIo& io) { io.onPrompt = [] { raise(SIGTERM); }; }, false},
    };
    int engine = 400;
    for (const Row& row : rows) {
        engine += 4;  // a word that differs from the one in force
        const std::string wanted = std::to_string(engine);
        const uint32_t old = Word();
        ScriptedIo io;
        row.script(io);
        uint32_t duringQuestion = 0;
        auto script = io.onPrompt;
        io.onPrompt = [&] {
            duringQuestion = Word();
            if (script) {
                script();
            }
        };
        int code = Clocks(io, {"set", wanted.c_str(), "720"});
        EXPECT_NE(duringQuestion, old) << row.what << ": the new clocks are in force while asking";
        if (row.kept) {
            EXPECT_EQ(code, 0) << row.what << io.err;
            EXPECT_EQ(Word(), duringQuestion) << row.what;
            EXPECT_NEAR(m_machine->EngineMhz(), engine, 2.5) << row.what;
        } else {
            EXPECT_EQ(code, 3) << row.what << io.err;
            EXPECT_EQ(Word(), old) << row.what;
            char back[96];
            snprintf(back, sizeof back, "not kept: the previous divider word 0x%08X is back\n",
                     old);
            EXPECT_NE(io.out.find(back), std::string::npos) << row.what << "\n" << io.out;
        }
        EXPECT_EQ(io.err, "") << row.what;
    }
}

TEST_F(ClocksTest, ClocksOutsideTheWindowTakeTheFallback) {
    ScriptedIo io;
    ASSERT_EQ(Clocks(io, {"set", "900", "900", "--yes"}), 0) << io.err;
    EXPECT_NE(io.out.find("engine 900 MHz is outside the board's window: 380 MHz instead\n"
                          "memory 900 MHz is outside the board's window: 680 MHz instead\n"),
              std::string::npos)
        << io.out;
    EXPECT_NEAR(m_machine->EngineMhz(), 380, 2.5);
    EXPECT_NEAR(m_machine->MemoryMhz(), 340, 2.5);

    // Inside the window nothing is replaced: 601 is shown as the slider shows it, 600.
    ScriptedIo inside;
    ASSERT_EQ(Clocks(inside, {"set", "315", "601", "--yes"}), 0) << inside.err;
    EXPECT_EQ(inside.out.find("outside"), std::string::npos) << inside.out;
    EXPECT_NEAR(m_machine->EngineMhz(), 315, 2.5);
    EXPECT_NEAR(m_machine->MemoryMhz(), 300, 2.5);
}

TEST_F(ClocksTest, TheRadeon9200IsRefusedAndOnlyShown) {
    host::UnloadDriver();
    Load("9200");
    const uint32_t old = Word();
    ScriptedIo io;
    EXPECT_EQ(Clocks(io, {"set", "250", "400", "--yes"}), 1);
    EXPECT_EQ(io.err,
              "kestctl: the program never changes the clocks of the ATI RADEON9200 board; "
              "nothing was changed\n");
    EXPECT_EQ(io.out, "");
    EXPECT_EQ(Word(), old);

    ScriptedIo show;
    ASSERT_EQ(Clocks(show, {}), 0) << show.err;
    EXPECT_NE(show.out.find("default engine 250 MHz, memory 400 MHz\n"
                            "the program never changes this board's clocks\n"),
              std::string::npos)
        << show.out;
}

TEST_F(ClocksTest, BadArgumentsChangeNothing) {
    struct Row {
        std::vector<const char*> args;
        const char* needle;
    };
    const Row rows[] = {
        {{"set"}, "clocks set needs ENGINE and MEMORY"},
        {{"set", "400"}, "clocks set needs ENGINE and MEMORY"},
        {{"set", "400", "x"}, "unexpected 'x'"},
        {{"set", "400", "700", "800"}, "unexpected '800'"},
        {{"set", "-400", "700"}, "unexpected '-400'"},
        {{"frob"}, "unknown command 'frob'"},
    };
    const uint32_t old = Word();
    for (const Row& row : rows) {
        ScriptedIo io;
        EXPECT_EQ(Clocks(io, row.args), 2) << row.needle;
        EXPECT_NE(io.err.find(row.needle), std::string::npos) << row.needle << "\n" << io.err;
    }
    EXPECT_EQ(Word(), old);
    ScriptedIo help;
    EXPECT_EQ(Clocks(help, {"--help"}), 0);
    EXPECT_NE(help.out.find("usage: kestctl clocks"), std::string::npos);
}

}  // namespace
