// What the program knows about each supported board, by adapter and subsystem id: its model, the
// clocks it starts from, the clock slider ranges, the windows wanted clocks are kept inside (one
// set for the main dialog, one for start-up and resume), the read-back snap rule and its picture.
// Qt-free: the tray program and kestctl share it.
#pragma once

#include <stdint.h>

// An inclusive window in MHz and the value that replaces a clock outside it.
struct ClockWindow {
    uint32_t nMin;
    uint32_t nMax;
    uint32_t nFallback;
};

// A clock outside the window takes the fallback (compared unsigned).
uint32_t ClampToWindow(uint32_t nClock, const ClockWindow& window);

// A read-back that lands just below the nominal clock is moved onto it; one member per board.
enum class SnapMember { kNone, kEngine, kMemory };
struct SnapRule {
    SnapMember member;
    int nMin;
    int nMax;
    int nNominal;
};

struct BoardRow {
    uint32_t nAdapterId;
    uint32_t nSubsystemId;  // kAnySubsystem matches every subsystem
    const char* lpszModel;  // "ATI RADEON9600PRO", as the system information list shows it
    // "Default Settings" and first-run clocks, MHz (memory: the real clock).
    uint32_t nDefaultEngine;
    uint32_t nDefaultMemory;
    // Slider ranges; memory in slider positions (twice the clock).
    int nEngineSliderMin;
    int nEngineSliderMax;
    int nMemorySliderMin;
    int nMemorySliderMax;
    bool bTunable;             // false: the program never changes this board's clocks
    ClockWindow engineWindow;  // the main dialog's clamp
    ClockWindow memoryWindow;
    ClockWindow engineStartWindow;  // start-up and resume
    ClockWindow memoryStartWindow;
    SnapRule snap;
    int nPicture;  // board picture resource
};

inline constexpr uint32_t kAnySubsystem = 0xFFFFFFFFu;

// The row for the board, or null for an unsupported one. Rows naming a subsystem come before
// the row of the same adapter that takes any other.
const BoardRow* FindBoardRow(uint32_t nAdapterId, uint32_t nSubsystemId);

// Every row, in table order (for tools and tests).
const BoardRow* BoardRows(int* pnCount);

// Keeps a wanted pair of clocks inside the board's main-dialog windows, memory first: a clock
// outside its window takes the window's fallback. Says which of the two were replaced.
struct ClampedClocks {
    bool bEngine;
    bool bMemory;
};
ClampedClocks ClampToWindows(const BoardRow& row, uint32_t* pnEngine, uint32_t* pnMemory);

// Applies the board's snap rule to a pair of clocks; true when the tested clock lay in the rule's
// window and now holds the nominal clock.
bool SnapToNominal(const BoardRow& row, int* pnEngine, int* pnMemory);
