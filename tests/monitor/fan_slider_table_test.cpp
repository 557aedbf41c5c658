// The fan slider tables: every drive level the slider sets reads back as its own position, and
// the read-back rules between the steps.
#include <gtest/gtest.h>

#include <vector>

#include "app/monitor/fan_slider_table.h"

namespace {

TEST(FanSliderTable, DrivesPerPositionAndBackOnEveryKind) {
    const struct {
        BoardKind kind;
        std::vector<int> drives;
    } rows[] = {
        {BoardKind::Kind9200, {26, 27, 30, 33, 35, 40, 45, 50, 55, 65, 75, 112, 255}},
        {BoardKind::Kind9600, {40, 45, 49, 55, 58, 61, 68, 75, 85, 95, 120, 160, 255}},
        {BoardKind::Kind9800B, {36, 40, 44, 48, 53, 58, 64, 72, 80, 96, 112, 128, 255}},
        {BoardKind::Kind9800, {36, 40, 44, 48, 53, 58, 64, 72, 80, 96, 112, 128, 255}},
        {BoardKind::KindF2, {40, 45, 50, 55, 60, 65, 70, 80, 90, 100, 120, 140, 160, 200, 255}},
        {BoardKind::Kind12, {40, 45, 50, 55, 60, 65, 70, 80, 90, 100, 120, 140, 160, 200, 255}},
        {BoardKind::KindOther, {40, 45, 50, 55, 60, 65, 70, 80, 90, 100, 120, 140, 160, 200, 255}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.kind));
        const int max = static_cast<int>(row.drives.size());
        EXPECT_EQ(FanSliderMax(row.kind), max);
        for (int position = 1; position <= max; ++position) {
            const int drive = row.drives[static_cast<size_t>(position - 1)];
            EXPECT_EQ(PositionToFanDrive(row.kind, position), drive) << position;
            EXPECT_EQ(FanDriveToPosition(row.kind, drive), position) << drive;
        }
        // Outside the slider's range the fan runs at full drive.
        EXPECT_EQ(PositionToFanDrive(row.kind, max + 1), 255);
        EXPECT_EQ(PositionToFanDrive(row.kind, 0), 255);
        EXPECT_EQ(FanDriveToPosition(row.kind, 256), max);
    }
}

TEST(FanSliderTable, ReadBackBetweenAndBelowTheSteps) {
    const struct {
        BoardKind kind;
        int drive;
        int position;
    } rows[] = {
        {BoardKind::Kind9200, 0, 0},    {BoardKind::Kind9200, 24, 0},
        {BoardKind::Kind9200, 25, 2},   {BoardKind::Kind9200, 26, 1},
        {BoardKind::Kind9200, 28, 3},   {BoardKind::Kind9200, 113, 13},
        {BoardKind::Kind9600, 39, 0},   {BoardKind::Kind9600, 41, 2},
        {BoardKind::Kind9600, 161, 13}, {BoardKind::Kind9800, 31, 0},
        {BoardKind::Kind9800, 32, 1},   {BoardKind::Kind9800B, 129, 13},
        {BoardKind::KindOther, 39, 0},  {BoardKind::KindOther, 201, 15},
        {BoardKind::KindF2, 75, 8},     {BoardKind::Kind9800, -1, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FanDriveToPosition(row.kind, row.drive), row.position)
            << static_cast<int>(row.kind) << " " << row.drive;
    }
}

}  // namespace
