#include "app/monitor/fan_slider_table.h"

#include <array>
#include <span>

namespace {

constexpr int kFullDrive = 255;

constexpr std::array k9200Drives = {26, 27, 30, 33, 35, 40, 45, 50, 55, 65, 75, 112, 255};
constexpr std::array k9600Drives = {40, 45, 49, 55, 58, 61, 68, 75, 85, 95, 120, 160, 255};
constexpr std::array k9800Drives = {36, 40, 44, 48, 53, 58, 64, 72, 80, 96, 112, 128, 255};
constexpr std::array kOtherDrives = {40, 45,  50,  55,  60,  65,  70, 80,
                                     90, 100, 120, 140, 160, 200, 255};

// Read-back bounds: the position is the index of the first bound the level does not exceed;
// past the last bound it is the slider's last position.
constexpr std::array k9200Bounds = {24, 0, 27, 30, 33, 35, 40, 45, 50, 55, 65, 75, 112};
constexpr std::array k9600Bounds = {39, 40, 45, 49, 55, 58, 61, 68, 75, 85, 95, 120, 160};
constexpr std::array k9800Bounds = {31, 36, 40, 44, 48, 53, 58, 64, 72, 80, 96, 112, 128};
constexpr std::array kOtherBounds = {39, 40, 45,  50,  55,  60,  65, 70,
                                     80, 90, 100, 120, 140, 160, 200};

// One board family's table: the drive of each position and the read-back bounds.
struct FanTable {
    std::span<const int> drives;
    std::span<const int> bounds;
};

FanTable TableOf(BoardKind kind) {
    switch (kind) {
        case BoardKind::Kind9200:
            return {k9200Drives, k9200Bounds};
        case BoardKind::Kind9600:
            return {k9600Drives, k9600Bounds};
        case BoardKind::Kind9800B:
        case BoardKind::Kind9800:
            return {k9800Drives, k9800Bounds};
        default:
            return {kOtherDrives, kOtherBounds};
    }
}

}  // namespace

int FanSliderMax(BoardKind kind) {
    return static_cast<int>(TableOf(kind).drives.size());
}

int PositionToFanDrive(BoardKind kind, int nPosition) {
    const std::span<const int> drives = TableOf(kind).drives;
    if (nPosition < 1 || nPosition > static_cast<int>(drives.size())) {
        return kFullDrive;
    }
    return drives[static_cast<size_t>(nPosition - 1)];
}

int FanDriveToPosition(BoardKind kind, int nDrive) {
    // On the RADEON 9200 the slowest step, 26, reads back as position 1 and 25 as position 2.
    if (kind == BoardKind::Kind9200 && nDrive == 26) {
        return 1;
    }
    const std::span<const int> bounds = TableOf(kind).bounds;
    for (size_t i = 0; i < bounds.size(); ++i) {
        if (kind == BoardKind::Kind9200 && i == 1) {
            continue;  // position 1 is the exact level above
        }
        if (nDrive <= bounds[i]) {
            return static_cast<int>(i);
        }
    }
    return static_cast<int>(bounds.size());
}
