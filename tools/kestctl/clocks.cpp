// kestctl clocks: the engine and memory clocks in force with the board's windows and defaults,
// and a change of clocks made the way the program makes it (clamp, composition, read-back),
// kept only when the user says so within ten seconds.
#include <string.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>

#include "app/clock/board_table.h"
#include "app/clock/clock_dividers.h"
#include "app/device/device_client.h"
#include "app/device/settings.h"
#include "tools/kestctl/command_support.h"
#include "tools/kestctl/commands.h"
#include "tools/kestctl/interrupts.h"

namespace {

constexpr const char* kClocksUsage =
    "usage: kestctl clocks\n"
    "       kestctl clocks set ENGINE MEMORY [--yes]\n"
    "\n"
    "Without arguments: the engine and memory clocks in force, decoded from the clock divider\n"
    "word, and the board's default clocks and windows. Memory figures are shown as the\n"
    "program's panel shows them: twice the real memory clock.\n"
    "\n"
    "set: applies ENGINE and MEMORY in MHz (MEMORY as the panel shows it) the way the program\n"
    "does: a clock outside the board's window is replaced by the window's fallback, the divider\n"
    "word is composed, written and read back. Then 'keep? [y/N]' waits 10 seconds: anything\n"
    "but 'y', no answer, SIGINT or a closed input writes the previous divider word back bit for\n"
    "bit. The program's kest.txt is not touched. The RADEON 9200 board is refused: the program\n"
    "never changes its clocks.\n"
    "  --yes  keep the new clocks without asking (for scripts)\n"
    "Exit codes: 0 shown or kept; 1 the device cannot be used or the board is refused; 2 bad\n"
    "arguments; 3 not kept, the previous divider word is back.\n";

constexpr int kNotKept = 3;

struct Board {
    uint32_t nAdapterId;
    uint32_t nSubsystemId;
    const BoardRow* row;
};

Board IdentifyClockBoard() {
    Board b{QueryAdapterInfo(3), QueryAdapterInfo(7), nullptr};
    b.row = FindBoardRow(b.nAdapterId, b.nSubsystemId);
    return b;
}

struct Clocks {
    int nEngine = 0;
    int nMemory = 0;  // the real clock; shown doubled
};

// What a divider word stands for, as the panel shows it after a read-back: decoded with the
// adapter's post dividers and snapped onto the board's nominal clock.
bool DecodeWord(const Board& board, uint32_t word, Clocks* clocks, std::string* err) {
    uint32_t engine = 0;
    uint32_t memory = 0;
    const DecodeStatus status = DecodeDividerWord(
        word, ReadPllRegister(kPllEnginePost), ReadPllRegister(kPllMemoryPost), &engine, &memory);
    if (status != DecodeStatus::kOk) {
        *err += Format("kestctl: the divider word 0x%08X cannot be decoded: %s\n", word,
                       status == DecodeStatus::kBadEnginePost   ? "Not correct MCLK_POST!"
                       : status == DecodeStatus::kBadMemoryPost ? "Not correct XCLK_POST!"
                                                                : "its reference divider is 0");
        return false;
    }
    clocks->nEngine = static_cast<int>(engine);
    clocks->nMemory = static_cast<int>(memory);
    if (board.row != nullptr) {
        SnapToNominal(*board.row, &clocks->nEngine, &clocks->nMemory);
    }
    return true;
}

std::string WindowText(const char* name, const ClockWindow& w, uint32_t shown) {
    return Format("%s window %u-%u MHz, fallback %u MHz\n", name, w.nMin * shown, w.nMax * shown,
                  w.nFallback * shown);
}

int Show(KestctlIo& io) {
    std::string err;
    if (!DeviceReachable(&err)) {
        io.Err(err);
        return 1;
    }
    const Board board = IdentifyClockBoard();
    const uint32_t word = ReadClockDividers();
    Clocks clocks;
    if (word == 0) {
        io.Err("kestctl: the clock divider word cannot be read\n");
        return 1;
    }
    if (!DecodeWord(board, word, &clocks, &err)) {
        io.Err(err);
        return 1;
    }
    std::string out = Format("board %s (pciId 0x%08X, subsystemId 0x%08X)\n",
                             board.row != nullptr ? board.row->lpszModel : "not supported",
                             board.nAdapterId, board.nSubsystemId);
    out += Format("dividers 0x%08X\nengine %d MHz\nmemory %d MHz\n", word, clocks.nEngine,
                  clocks.nMemory * 2);
    if (board.row != nullptr) {
        const BoardRow& r = *board.row;
        out += Format("default engine %u MHz, memory %u MHz\n", r.nDefaultEngine,
                      r.nDefaultMemory * 2);
        if (r.bTunable) {
            out +=
                WindowText("engine", r.engineWindow, 1) + WindowText("memory", r.memoryWindow, 2);
        } else {
            out += "the program never changes this board's clocks\n";
        }
    }
    io.Out(out);
    return 0;
}

// "keep? [y/N]": true only for a line that is exactly "y" within the answer time.
bool AskToKeep(KestctlIo& io, const Interrupts& interrupts) {
    io.Out("keep? [y/N] ");
#ifdef _WIN32
    // Not reached: Windows asks for --yes before anything changes.
    (void)interrupts;
    return false;
#else
    const int fd = io.Input();
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(io.AnswerTimeoutMs());
    std::string line;
    while (fd >= 0) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 ||
            interrupts.Wait(static_cast<int>(left.count()), fd) != Interrupts::Wake::kInput) {
            break;
        }
        char buffer[64];
        const auto n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;  // closed
        }
        line.append(buffer, static_cast<size_t>(n));
        const size_t end = line.find('\n');
        if (end != std::string::npos) {
            return line.compare(0, end, "y") == 0;
        }
    }
    io.Out("\n");
    return false;
#endif
}

// Writes the divider word read before the change back, bit for bit, and checks it is there.
int Revert(uint32_t old, KestctlIo& io) {
    if (!WriteClockDividers(old) || ReadClockDividers() != old) {
        io.Err(
            Format("kestctl: the previous divider word 0x%08X could not be written back\n", old));
        return 1;
    }
    io.Out(Format("not kept: the previous divider word 0x%08X is back\n", old));
    return kNotKept;
}

int Set(int argc, const char* const* argv, KestctlIo& io) {
    uint32_t wanted[2] = {0, 0};
    int numbers = 0;
    bool yes = false;
    for (int i = 0; i < argc; ++i) {
        if (strcmp(argv[i], "--yes") == 0) {
            yes = true;
        } else if (numbers < 2 && ParseNumber(argv[i], &wanted[numbers])) {
            ++numbers;
        } else {
            io.Err(Format("kestctl: clocks set: unexpected '%s'\n", argv[i]) + kClocksUsage);
            return 2;
        }
    }
    if (numbers != 2) {
        io.Err(std::string("kestctl: clocks set needs ENGINE and MEMORY in MHz\n") + kClocksUsage);
        return 2;
    }
#ifdef _WIN32
    if (!yes) {
        io.Err("kestctl: on Windows the answer cannot be waited for; add --yes\n");
        return 2;
    }
#endif
    std::string err;
    if (!DeviceReachable(&err)) {
        io.Err(err);
        return 1;
    }
    const Board board = IdentifyClockBoard();
    if (board.row == nullptr || !board.row->bTunable) {
        io.Err(board.row == nullptr
                   ? Format("kestctl: adapter 0x%08X (subsystem 0x%08X) is not a supported "
                            "board; its clocks are not changed\n",
                            board.nAdapterId, board.nSubsystemId)
                   : Format("kestctl: the program never changes the clocks of the %s board; "
                            "nothing was changed\n",
                            board.row->lpszModel));
        return 1;
    }

    // From here a signal makes the wait below revert instead of ending the program halfway.
    Interrupts interrupts;
    const uint32_t old = ReadClockDividers();
    if (old == 0) {
        io.Err("kestctl: the clock divider word cannot be read\n");
        return 1;
    }
    // The memory figure is what the panel shows; the clock is half of it, as the slider halves
    // its position.
    uint32_t engine = wanted[0];
    uint32_t memory = wanted[1] / 2;
    const ClampedClocks clamped = ClampToWindows(*board.row, &engine, &memory);
    if (clamped.bEngine) {
        io.Out(Format("engine %u MHz is outside the board's window: %u MHz instead\n", wanted[0],
                      engine));
    }
    if (clamped.bMemory) {
        io.Out(Format("memory %u MHz is outside the board's window: %u MHz instead\n", wanted[1],
                      memory * 2));
    }
    const uint32_t word = ComposeClockDividers(old, engine, memory, kReferenceDivider);
    if (!WriteClockDividers(word)) {
        io.Err(Format("kestctl: the divider word 0x%08X could not be written\n", word));
        return Revert(old, io);
    }
    // What the hardware really holds now.
    Clocks clocks;
    const uint32_t readBack = ReadClockDividers();
    if (readBack == 0 || !DecodeWord(board, readBack, &clocks, &err)) {
        io.Err(err.empty() ? "kestctl: the new divider word cannot be read back\n" : err);
        return Revert(old, io);
    }
    io.Out(Format("VPU SPEED->%d MHz/MEMORY SPEED->%d MHz\n", clocks.nEngine, clocks.nMemory * 2));
    if (yes || AskToKeep(io, interrupts)) {
        io.Out("kept\n");
        return 0;
    }
    return Revert(old, io);
}

}  // namespace

int ClocksCommand(int argc, const char* const* argv, KestctlIo& io) {
    if (argc > 0 && IsHelp(argv[0])) {
        io.Out(kClocksUsage);
        return 0;
    }
    if (argc == 0) {
        return Show(io);
    }
    if (strcmp(argv[0], "set") == 0) {
        return Set(argc - 1, argv + 1, io);
    }
    io.Err(Format("kestctl: clocks: unknown command '%s'\n", argv[0]) + kClocksUsage);
    return 2;
}
