#include "app/clock/board_table.h"

#include <iterator>

#include "app/res/resource_ids.h"
#include "protocol/ioctl.h"

namespace {

constexpr ClockWindow kNoWindow{0, 0, 0};
constexpr SnapRule kNoSnap{SnapMember::kNone, 0, 0, 0};

// clang-format off
// 0x4E44 is the RADEON 9700 PRO id that some RADEON 9500 PRO boards carry too.
const BoardRow kRows[] = {
    // RADEON 9600 PRO, variant A
    {kAdapterRadeon9600Pro, 0x01021D5A, "ATI RADEON9600PRO", 400, 275, 380, 590, 500, 620, true,
     {350, 600, 400}, {250, 310, 275}, {380, 590, 400}, {250, 310, 275},
     kNoSnap, kBitmapBoard9600And9800},
    // RADEON 9600 PRO
    {kAdapterRadeon9600Pro, kAnySubsystem, "ATI RADEON9600PRO", 400, 300, 380, 590, 500, 630, true,
     {350, 600, 400}, {250, 320, 300}, {380, 590, 400}, {250, 320, 300},
     {SnapMember::kMemory, 299, 300, 300}, kBitmapBoard9600And9800},
    // RADEON 9500 PRO on a RADEON 9700 PRO id
    {kAdapterRadeon9500Pro, kSubsystemF2, "ATI RADEON9500PRO", 277, 271, 270, 370, 520, 620, true,
     {270, 375, 277}, {260, 315, 271}, {270, 375, 277}, {260, 315, 271},
     {SnapMember::kMemory, 270, 271, 271}, kBitmapBoard9500},
    // RADEON 9700 PRO
    {kAdapterRadeon9500Pro, kAnySubsystem, "ATI RADEON9700PRO", 325, 311, 300, 385, 600, 700, true,
     {300, 385, 325}, {300, 352, 311}, {300, 385, 325}, {300, 352, 311},
     {SnapMember::kEngine, 324, 325, 325}, kBitmapBoard9700},
    // RADEON 9500 PRO
    {kAdapterRadeon9700Pro, kAnySubsystem, "ATI RADEON9500PRO", 277, 271, 270, 370, 520, 620, true,
     {270, 375, 277}, {260, 315, 271}, {270, 375, 277}, {260, 315, 271},
     kNoSnap, kBitmapBoard9500},
    // RADEON 9800 PRO
    {kAdapterRadeon9800Pro, kAnySubsystem, "ATI RADEON9800PRO", 380, 340, 315, 455, 600, 760, true,
     {315, 455, 380}, {300, 380, 340}, {315, 455, 380}, {300, 380, 340},
     {SnapMember::kMemory, 340, 342, 340}, kBitmapBoard9600And9800},
    // RADEON 9200: shown, never tuned
    {kAdapterRadeon9200, kAnySubsystem, "ATI RADEON9200", 250, 200, 225, 300, 360, 500, false,
     kNoWindow, kNoWindow, kNoWindow, kNoWindow, kNoSnap, kBitmapBoard9200},
};
// clang-format on

}  // namespace

uint32_t ClampToWindow(uint32_t nClock, const ClockWindow& window) {
    return nClock < window.nMin || nClock > window.nMax ? window.nFallback : nClock;
}

ClampedClocks ClampToWindows(const BoardRow& row, uint32_t* pnEngine, uint32_t* pnMemory) {
    ClampedClocks clamped{false, false};
    if (ClampToWindow(*pnMemory, row.memoryWindow) != *pnMemory) {
        *pnMemory = row.memoryWindow.nFallback;
        clamped.bMemory = true;
    }
    if (ClampToWindow(*pnEngine, row.engineWindow) != *pnEngine) {
        *pnEngine = row.engineWindow.nFallback;
        clamped.bEngine = true;
    }
    return clamped;
}

const BoardRow* FindBoardRow(uint32_t nAdapterId, uint32_t nSubsystemId) {
    for (const BoardRow& row : kRows) {
        if (row.nAdapterId == nAdapterId &&
            (row.nSubsystemId == kAnySubsystem || row.nSubsystemId == nSubsystemId)) {
            return &row;
        }
    }
    return nullptr;
}

const BoardRow* BoardRows(int* pnCount) {
    if (pnCount != nullptr) {
        *pnCount = static_cast<int>(std::size(kRows));
    }
    return kRows;
}

bool SnapToNominal(const BoardRow& row, int* pnEngine, int* pnMemory) {
    int* target = row.snap.member == SnapMember::kEngine   ? pnEngine
                  : row.snap.member == SnapMember::kMemory ? pnMemory
                                                           : nullptr;
    if (target == nullptr || *target < row.snap.nMin || *target > row.snap.nMax) {
        return false;
    }
    *target = row.snap.nNominal;
    return true;
}
