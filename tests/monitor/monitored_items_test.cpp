#include "app/monitor/monitored_items.h"

#include "app/device/process_state.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Item = MonitoredItem;
using Kind = BoardKind;

constexpr Kind kAllKinds[] = {Kind::Kind9200, Kind::Kind9600, Kind::Kind9800B, Kind::Kind9800,
                              Kind::KindF2,   Kind::Kind12,   Kind::KindOther};
constexpr Kind kSevenItemKinds[] = {Kind::Kind9600, Kind::Kind9800B, Kind::Kind9800, Kind::Kind12,
                                    Kind::KindOther};
constexpr Item kAllItems[] = {Item::FanSpeed,           Item::VpuTemperature,
                              Item::MemoryTemperature,  Item::MemoryTemperature1,
                              Item::MemoryTemperature2, Item::VpuCoreVoltage,
                              Item::MemoryIoVoltage,    Item::MemoryCoreVoltage};
constexpr FanState kFanRunning{0, false};

std::vector<std::string> Names(std::span<const MonitoredItem> items) {
    std::vector<std::string> names;
    for (Item item : items) {
        names.push_back(ItemListName(item));
    }
    return names;
}

// --- Classification ---

struct ClassifyRow {
    uint32_t nAdapter;
    uint32_t nSubsystem;
    Kind kind;
};

TEST(ClassifyBoardTest, FirstMatchingRuleDecides) {
    const ClassifyRow rows[] = {
        {0x59611002, 0x00000000, Kind::Kind9200},
        {0x59611002, 0x00F21D5A, Kind::Kind9200},  // adapter rules come before subsystem rules
        {0x41501002, 0x01021D5A, Kind::Kind9600},
        {0x41501002, 0x00121D5A, Kind::Kind9600},
        {0x4E481002, 0x20021787, Kind::Kind9800B},
        {0x4E481002, 0x00000000, Kind::Kind9800},
        {0x4E481002, 0x00F21D5A, Kind::Kind9800},
        {0x4E441002, 0x00F21D5A, Kind::KindF2},
        {0x4E451002, 0x00121D5A, Kind::Kind12},
        {0x4E441002, 0x20021787, Kind::KindOther},  // the 9800B subsystem on another adapter
        {0x4E441002, 0x00000000, Kind::KindOther},
        {0x4E451002, 0x12345678, Kind::KindOther},
    };
    for (const ClassifyRow& row : rows) {
        EXPECT_EQ(ClassifyBoard(row.nAdapter, row.nSubsystem), row.kind)
            << std::hex << row.nAdapter << " / " << row.nSubsystem;
    }
}

TEST(ClassifyBoardTest, ThisProcessBoardAndFanState) {
    const uint32_t savedAdapter = g_nAdapterId;
    const uint32_t savedSubsystem = g_nSubsystemId;
    const int savedNoFan = g_nNoFan;
    const uint8_t savedStopped = g_bFanStopped;
    g_nAdapterId = 0x4E481002;
    g_nSubsystemId = 0x20021787;
    EXPECT_EQ(ClassifyBoard(), Kind::Kind9800B);
    g_nAdapterId = 0x4E441002;
    g_nSubsystemId = 0x00F21D5A;
    EXPECT_EQ(ClassifyBoard(), Kind::KindF2);
    g_nNoFan = 1;
    g_bFanStopped = 1;
    EXPECT_EQ(CurrentFanState().nNoFan, 1);
    EXPECT_TRUE(CurrentFanState().bFanStopped);
    g_nNoFan = 0xFFFF;
    g_bFanStopped = 0;
    EXPECT_EQ(CurrentFanState().nNoFan, 0xFFFF);
    EXPECT_FALSE(CurrentFanState().bFanStopped);
    g_nAdapterId = savedAdapter;
    g_nSubsystemId = savedSubsystem;
    g_nNoFan = savedNoFan;
    g_bFanStopped = savedStopped;
}

// --- Lists ---

TEST(ItemListTest, OrdersPerBoardKind) {
    const std::vector<std::string> five = {"FAN Speed", "Memory Core Voltage", "Memory I/O Voltage",
                                           "VPU Core Voltage", "VPU Temperature"};
    const std::vector<std::string> six = {"FAN Speed",          "Memory Core Voltage",
                                          "Memory I/O Voltage", "Memory Temperature",
                                          "VPU Core Voltage",   "VPU Temperature"};
    const std::vector<std::string> seven = {"FAN Speed",
                                            "Memory Core Voltage",
                                            "Memory I/O Voltage",
                                            "Memory Temperature 1",
                                            "Memory Temperature 2",
                                            "VPU Core Voltage",
                                            "VPU Temperature"};
    EXPECT_EQ(Names(ItemListOrder(Kind::Kind9200)), five);
    EXPECT_EQ(Names(ItemListOrder(Kind::KindF2)), six);
    for (Kind kind : kSevenItemKinds) {
        EXPECT_EQ(Names(ItemListOrder(kind)), seven) << static_cast<int>(kind);
    }
}

TEST(ItemListTest, SortedListOfTheAddOrderGivesTheListOrder) {
    // The details list box sorts case-insensitively; the list indexes every window uses must be
    // what that sort makes of the order the items are added in.
    for (Kind kind : kAllKinds) {
        std::vector<std::string> added = Names(ItemAddOrder(kind));
        ASSERT_EQ(added.size(), ItemListOrder(kind).size());
        EXPECT_EQ(added.front(), "FAN Speed");
        EXPECT_EQ(added[1], "VPU Temperature");
        std::sort(added.begin(), added.end(), [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(
                a.begin(), a.end(), b.begin(), b.end(),
                [](char x, char y) { return std::tolower(x) < std::tolower(y); });
        });
        EXPECT_EQ(added, Names(ItemListOrder(kind))) << static_cast<int>(kind);
    }
}

struct ItemAtRow {
    Kind kind;
    int index;
    std::optional<Item> item;
};

TEST(ItemListTest, ItemAtIndexes) {
    const ItemAtRow rows[] = {
        {Kind::Kind9200, 0, Item::FanSpeed},
        {Kind::Kind9200, 3, Item::VpuCoreVoltage},
        {Kind::Kind9200, 4, Item::VpuTemperature},
        {Kind::Kind9200, 5, std::nullopt},
        {Kind::KindF2, 3, Item::MemoryTemperature},
        {Kind::KindF2, 5, Item::VpuTemperature},
        {Kind::KindF2, 6, std::nullopt},
        {Kind::Kind9800, 3, Item::MemoryTemperature1},
        {Kind::Kind9800, 4, Item::MemoryTemperature2},
        {Kind::Kind9800, 6, Item::VpuTemperature},
        {Kind::Kind9800, 7, std::nullopt},
        {Kind::KindOther, -1, std::nullopt},  // a list without a selection
        {Kind::Kind9600, 1000, std::nullopt},
    };
    for (const ItemAtRow& row : rows) {
        EXPECT_EQ(ItemAt(row.kind, row.index), row.item)
            << static_cast<int>(row.kind) << " index " << row.index;
    }
}

TEST(ItemListTest, RequestsFeedingEachItem) {
    const std::pair<Item, uint32_t> rows[] = {
        {Item::FanSpeed, 0x2204A0},           {Item::VpuTemperature, 0x2204C4},
        {Item::MemoryTemperature, 0x2204C0},  {Item::MemoryTemperature1, 0x2204BC},
        {Item::MemoryTemperature2, 0x2204C0}, {Item::VpuCoreVoltage, 0x2204A8},
        {Item::MemoryIoVoltage, 0x2204A4},    {Item::MemoryCoreVoltage, 0x2204AC},
    };
    for (const auto& [item, request] : rows) {
        EXPECT_EQ(ItemRequest(item), request) << ItemListName(item);
    }
}

// --- Filtering ---

struct FilterRow {
    Item item;
    Kind kind;
    uint32_t raw;
    uint32_t last;
    uint32_t result;
};

TEST(FilterReadingTest, WindowsAndHeldValues) {
    const FilterRow rows[] = {
        // Fan: everything but a failed transaction, 0 included.
        {Item::FanSpeed, Kind::KindOther, 0, 4000, 0},
        {Item::FanSpeed, Kind::KindOther, 2999, 4000, 2999},
        {Item::FanSpeed, Kind::KindOther, 0xFFFFFFFF, 4000, 4000},
        {Item::FanSpeed, Kind::KindOther, 0xFFFFFFFE, 4000, 0xFFFFFFFE},
        // Memory voltages: 2000..3800 inclusive.
        {Item::MemoryCoreVoltage, Kind::KindOther, 3801, 2900, 2900},
        {Item::MemoryCoreVoltage, Kind::KindOther, 1999, 2900, 2900},
        {Item::MemoryCoreVoltage, Kind::KindOther, 3800, 2900, 3800},
        {Item::MemoryCoreVoltage, Kind::KindOther, 2000, 2900, 2000},
        {Item::MemoryIoVoltage, Kind::Kind9200, 3801, 2500, 2500},
        {Item::MemoryIoVoltage, Kind::Kind9200, 2000, 2500, 2000},
        {Item::MemoryIoVoltage, Kind::Kind9200, 0xFFFFFFFF, 2500, 2500},
        {Item::MemoryIoVoltage, Kind::KindOther, 1999, 2800, 2800},
        {Item::MemoryIoVoltage, Kind::KindOther, 3800, 2800, 3800},
        {Item::MemoryCoreVoltage, Kind::Kind9800B, 0, 2700, 2700},  // a failed request
        // VPU core: 1000..2000.
        {Item::VpuCoreVoltage, Kind::Kind9800, 999, 1700, 1700},
        {Item::VpuCoreVoltage, Kind::Kind9800, 1000, 1700, 1000},
        {Item::VpuCoreVoltage, Kind::Kind9800, 2000, 1700, 2000},
        {Item::VpuCoreVoltage, Kind::Kind9800, 2001, 1700, 1700},
        {Item::VpuCoreVoltage, Kind::Kind9800, 0, 1700, 1700},
        // Temperatures: 16..74, the VPU 16..85 on seven-item boards.
        {Item::MemoryTemperature1, Kind::Kind9800, 15, 40, 40},
        {Item::MemoryTemperature1, Kind::Kind9800, 16, 18, 16},
        {Item::MemoryTemperature1, Kind::Kind9800, 74, 72, 74},
        {Item::MemoryTemperature1, Kind::Kind9800, 75, 72, 72},
        {Item::MemoryTemperature2, Kind::Kind9600, 80, 72, 72},
        {Item::MemoryTemperature, Kind::KindF2, 80, 72, 72},
        {Item::VpuTemperature, Kind::Kind9800, 80, 78, 80},
        {Item::VpuTemperature, Kind::KindOther, 80, 78, 80},
        {Item::VpuTemperature, Kind::Kind9600, 85, 84, 85},
        {Item::VpuTemperature, Kind::Kind9600, 86, 84, 84},
        {Item::VpuTemperature, Kind::Kind9200, 80, 72, 72},
        {Item::VpuTemperature, Kind::KindF2, 80, 72, 72},
        {Item::VpuTemperature, Kind::Kind9200, 74, 72, 74},
        {Item::VpuTemperature, Kind::Kind9200, 75, 72, 72},
        {Item::VpuTemperature, Kind::KindF2, 74, 72, 74},
        {Item::VpuTemperature, Kind::KindF2, 75, 72, 72},
        {Item::VpuTemperature, Kind::Kind9200, 15, 18, 18},
        {Item::VpuTemperature, Kind::Kind12, 85, 84, 85},
        {Item::VpuTemperature, Kind::Kind9800B, 86, 84, 84},
        {Item::MemoryTemperature, Kind::KindF2, 74, 72, 74},
        {Item::MemoryTemperature2, Kind::Kind9800, 75, 72, 72},
        {Item::VpuTemperature, Kind::Kind9800, 0xFFFFFFFF, 50, 50},
        {Item::VpuTemperature, Kind::Kind9800, 0, 50, 50},
    };
    for (const FilterRow& row : rows) {
        EXPECT_EQ(FilterReading(row.item, row.kind, row.raw, row.last), row.result)
            << ItemListName(row.item) << " kind " << static_cast<int>(row.kind) << " raw "
            << row.raw << " last " << row.last;
    }
}

TEST(FilterReadingTest, SlewLimitOnTemperatures) {
    const FilterRow rows[] = {
        {Item::VpuTemperature, Kind::KindOther, 60, 40, 42},  // a jump of 20 moves by 2
        {Item::VpuTemperature, Kind::KindOther, 45, 40, 45},  // a jump of 5 is shown at once
        {Item::VpuTemperature, Kind::KindOther, 46, 40, 42},  // 6 is more than 5
        {Item::VpuTemperature, Kind::KindOther, 35, 40, 35},
        {Item::VpuTemperature, Kind::KindOther, 34, 40, 38},
        {Item::MemoryTemperature1, Kind::Kind9800, 20, 60, 58},
        {Item::MemoryTemperature, Kind::KindF2, 70, 30, 32},
        // A held value slews from the last accepted value too: nothing moves.
        {Item::VpuTemperature, Kind::KindOther, 100, 40, 40},
        // A start from 0 (nothing accepted yet) climbs 2 degrees per sample.
        {Item::MemoryTemperature2, Kind::Kind12, 50, 0, 2},
        // Voltages have no slew limit.
        {Item::VpuCoreVoltage, Kind::KindOther, 1900, 1300, 1900},
        // A failed reading taken unfiltered at selection time: voltages and the fan hold it, a
        // temperature slews from it in unsigned arithmetic, so 0xFFFFFFFF + 2 wraps to 1 and the
        // value then climbs 2 degrees per sample towards the reading.
        {Item::MemoryCoreVoltage, Kind::KindOther, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {Item::FanSpeed, Kind::KindOther, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {Item::VpuTemperature, Kind::KindOther, 50, 0xFFFFFFFF, 1},
        {Item::MemoryTemperature1, Kind::Kind9800, 0xFFFFFFFF, 0xFFFFFFFF, 1},
        {Item::MemoryTemperature, Kind::KindF2, 50, 1, 3},
    };
    for (const FilterRow& row : rows) {
        EXPECT_EQ(FilterReading(row.item, row.kind, row.raw, row.last), row.result)
            << ItemListName(row.item) << " raw " << row.raw << " last " << row.last;
    }
}

TEST(FilterReadingTest, JumpFrom40To60IsShownTwoDegreesAtATime) {
    std::vector<uint32_t> shown;
    uint32_t last = 40;
    for (int i = 0; i < 10; ++i) {
        last = FilterReading(Item::VpuTemperature, Kind::Kind9600, 60, last);
        shown.push_back(last);
    }
    EXPECT_EQ(shown, (std::vector<uint32_t>{42, 44, 46, 48, 50, 52, 54, 56, 60, 60}))
        << "once within 5 degrees the reading is taken as it is";
}

// --- Safety ---

// The lowest and the highest safe reading of a voltage on one board: one millivolt outside
// either is unsafe. The memory bands include the ends of their range text; the VPU core band
// excludes them.
struct BandRow {
    Item item;
    Kind kind;
    uint32_t nLowestSafe;
    uint32_t nHighestSafe;
};

TEST(IsItemSafeTest, VoltageBandEdgesOnEveryBoard) {
    const BandRow rows[] = {
        {Item::MemoryCoreVoltage, Kind::Kind9200, 3000, 3300},
        {Item::MemoryCoreVoltage, Kind::Kind9600, 2400, 3000},
        {Item::MemoryCoreVoltage, Kind::Kind9800B, 2500, 2900},
        {Item::MemoryCoreVoltage, Kind::Kind9800, 2700, 3100},
        {Item::MemoryCoreVoltage, Kind::KindF2, 2800, 3100},
        {Item::MemoryCoreVoltage, Kind::Kind12, 2375, 2725},
        {Item::MemoryCoreVoltage, Kind::KindOther, 2800, 3100},
        {Item::MemoryIoVoltage, Kind::Kind9200, 2375, 2725},
        {Item::MemoryIoVoltage, Kind::Kind9600, 2400, 3000},
        {Item::MemoryIoVoltage, Kind::Kind9800B, 2600, 3000},
        {Item::MemoryIoVoltage, Kind::Kind9800, 2450, 2850},
        {Item::MemoryIoVoltage, Kind::KindF2, 2600, 3000},
        {Item::MemoryIoVoltage, Kind::Kind12, 2375, 2725},
        {Item::MemoryIoVoltage, Kind::KindOther, 2600, 3000},
        {Item::VpuCoreVoltage, Kind::Kind9200, 1251, 1949},
        {Item::VpuCoreVoltage, Kind::Kind9600, 1051, 1549},
        {Item::VpuCoreVoltage, Kind::Kind9800B, 1501, 1899},
        {Item::VpuCoreVoltage, Kind::Kind9800, 1501, 1899},
        {Item::VpuCoreVoltage, Kind::KindF2, 1251, 1749},
        {Item::VpuCoreVoltage, Kind::Kind12, 1251, 1749},
        {Item::VpuCoreVoltage, Kind::KindOther, 1251, 1749},
    };
    for (const BandRow& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << ItemListName(row.item) << " kind " << static_cast<int>(row.kind));
        EXPECT_FALSE(IsItemSafe(row.item, row.kind, row.nLowestSafe - 1, kFanRunning));
        EXPECT_TRUE(IsItemSafe(row.item, row.kind, row.nLowestSafe, kFanRunning));
        EXPECT_TRUE(IsItemSafe(row.item, row.kind, row.nHighestSafe, kFanRunning));
        EXPECT_FALSE(IsItemSafe(row.item, row.kind, row.nHighestSafe + 1, kFanRunning));
    }
    // A failed reading held from the selection is far outside every band.
    EXPECT_FALSE(IsItemSafe(Item::MemoryCoreVoltage, Kind::KindOther, 0xFFFFFFFF, kFanRunning));
    EXPECT_FALSE(IsItemSafe(Item::VpuCoreVoltage, Kind::KindOther, 0, kFanRunning));
}

TEST(IsItemSafeTest, TemperaturesAreSafeBelowTheirLimit) {
    for (Kind kind : kAllKinds) {
        const uint32_t vpuLimit = (kind == Kind::Kind9800B || kind == Kind::Kind9800) ? 85 : 70;
        EXPECT_TRUE(IsItemSafe(Item::VpuTemperature, kind, vpuLimit - 1, kFanRunning));
        EXPECT_FALSE(IsItemSafe(Item::VpuTemperature, kind, vpuLimit, kFanRunning))
            << "the limit itself is unsafe in the details dialog, kind " << static_cast<int>(kind);
        for (Item item :
             {Item::MemoryTemperature, Item::MemoryTemperature1, Item::MemoryTemperature2}) {
            EXPECT_TRUE(IsItemSafe(item, kind, 69, kFanRunning));
            EXPECT_FALSE(IsItemSafe(item, kind, 70, kFanRunning));
        }
    }
    // 80 °C on a seven-item board: accepted by the filter, unsafe except on the 9800 PRO boards.
    for (Kind kind : kSevenItemKinds) {
        const uint32_t value = FilterReading(Item::VpuTemperature, kind, 80, 79);
        ASSERT_EQ(value, 80u);
        const bool b9800 = kind == Kind::Kind9800B || kind == Kind::Kind9800;
        EXPECT_EQ(IsItemSafe(Item::VpuTemperature, kind, value, kFanRunning), b9800);
    }
}

struct FanRow {
    Kind kind;
    uint32_t value;
    FanState fan;
    bool bSafe;
    const char* sample;
    const char* selection;
};

TEST(IsItemSafeTest, FanSpeedWithItsExceptions) {
    const FanRow rows[] = {
        {Kind::KindOther, 3000, {0, false}, true, "3000 RPM", "3000  RPM"},
        {Kind::KindOther, 2999, {0, false}, false, "not safe", "not safe"},
        {Kind::KindOther, 0, {0, false}, false, "not safe", "not safe"},
        {Kind::Kind9800, 5234, {0xFFFF, false}, true, "5234 RPM", "5234  RPM"},  // missing value
        // No fan to watch: always safe, always "Unknown".
        {Kind::KindOther, 0, {1, false}, true, "Unknown", "Unknown"},
        {Kind::Kind9600, 4500, {1, false}, true, "Unknown", "Unknown"},
        {Kind::Kind9200, 100, {1, true}, true, "Unknown", "Unknown"},
        // A stopped fan is safe on the 9200 board only.
        {Kind::Kind9200, 0, {0, true}, true, "Stopped!", "Stopped!"},
        {Kind::Kind9200, 2999, {0, true}, true, "Stopped!", "Stopped!"},
        {Kind::Kind9200, 3100, {0, true}, true, "3100 RPM", "3100  RPM"},
        {Kind::Kind9200, 0, {0, false}, false, "not safe", "not safe"},
        {Kind::Kind9600, 0, {0, true}, false, "not safe", "not safe"},
        {Kind::KindF2, 1200, {0, true}, false, "not safe", "not safe"},
    };
    for (const FanRow& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << static_cast<int>(row.kind) << " rpm " << row.value << " nofan "
                     << row.fan.nNoFan << " stopped " << row.fan.bFanStopped);
        EXPECT_EQ(IsItemSafe(Item::FanSpeed, row.kind, row.value, row.fan), row.bSafe);
        EXPECT_EQ(FormatItemValue(Item::FanSpeed, row.kind, row.value, ValueForm::Sample, row.fan),
                  row.sample);
        EXPECT_EQ(
            FormatItemValue(Item::FanSpeed, row.kind, row.value, ValueForm::Selection, row.fan),
            row.selection);
    }
}

// --- Value texts ---

struct TextRow {
    Item item;
    uint32_t value;
    const char* sample;
    const char* selection;
};

TEST(FormatItemValueTest, VoltageAndTemperatureTexts) {
    const TextRow rows[] = {
        {Item::VpuCoreVoltage, 1500, "1.5000   V", "1.5000  V"},
        {Item::VpuCoreVoltage, 1632, "1.6320   V", "1.6320  V"},
        {Item::MemoryIoVoltage, 2375, "2.3750   V", "2.3750  V"},
        {Item::MemoryCoreVoltage, 3801, "3.8010   V", "3.8010  V"},
        {Item::MemoryCoreVoltage, 0, "0.0000   V", "0.0000  V"},
        {Item::VpuTemperature, 69, "69 C/ 156 F", "69 C/ 156 F"},
        {Item::VpuTemperature, 70, "70 C/ 158 F", "70 C/ 158 F"},
        {Item::MemoryTemperature, 0, "0 C/ 32 F", "0 C/ 32 F"},
        {Item::MemoryTemperature1, 41, "41 C/ 105 F", "41 C/ 105 F"},  // 369 / 5 = 73
        {Item::MemoryTemperature2, 85, "85 C/ 185 F", "85 C/ 185 F"},
    };
    for (const TextRow& row : rows) {
        for (Kind kind : kAllKinds) {
            EXPECT_EQ(FormatItemValue(row.item, kind, row.value, ValueForm::Sample, kFanRunning),
                      row.sample);
            EXPECT_EQ(FormatItemValue(row.item, kind, row.value, ValueForm::Selection, kFanRunning),
                      row.selection);
        }
    }
}

TEST(FormatItemValueTest, FahrenheitTruncates) {
    EXPECT_EQ(FahrenheitOf(69), 156u);
    EXPECT_EQ(FahrenheitOf(70), 158u);
    EXPECT_EQ(FahrenheitOf(1), 33u);  // 9 / 5 = 1
    EXPECT_EQ(FahrenheitOf(0), 32u);
    EXPECT_EQ(TemperatureText(101), "101 C/ 213 F");
}

// --- Per-item texts ---

TEST(ItemTextTest, UnitDescriptionAndWarningTexts) {
    struct Row {
        Item item;
        const char* unit;
        const char* description;
        const char* warning;
    };
    const char* kMemory =
        " \tThe Memory Temperature indicates the current temperature on the memory. The number 1 "
        "and 2 indicates the different memory location on board.";
    const Row rows[] = {
        {Item::FanSpeed, "UNIT: RPM",
         " \tThe FAN Speed value indicate the revolutions of the fan on graphic card every "
         "minute. ",
         "Warning: Fan speed is too low!"},
        {Item::VpuTemperature, "UNIT:   C",
         " \tThe VPU Temperature indicates the current temperature on chip.",
         "Warning: VPU temperature is too high!"},
        {Item::MemoryTemperature, "UNIT:   C",
         " \tThe Memory Temperature indicates the current temperature on the memory.",
         "Warning: Memory temperature is too high!"},
        {Item::MemoryTemperature1, "UNIT:   C", kMemory,
         "Warning: Memory temperature 1 is too high!"},
        {Item::MemoryTemperature2, "UNIT:   C", kMemory,
         "Warning: Memory temperature 2 is too high!"},
        {Item::VpuCoreVoltage, "UNIT:   V",
         " \tThe VPU Core Voltage indicates the power supply for VPU operation.",
         "Warning: VPU core voltage is out of safe range!"},
        {Item::MemoryIoVoltage, "UNIT:   V",
         " \tThe Memory I/O Voltage indicates the power supply for memory I/O Interface. ",
         "Warning: Memory I/O voltage is out of safe range!"},
        {Item::MemoryCoreVoltage, "UNIT:   V",
         " \tThe Memory Core Voltage indicates the power supply for memory operation. ",
         "Warning: Memory core voltage is out of safe range!"},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(UnitLabel(row.item), row.unit);
        EXPECT_STREQ(Description(row.item), row.description);
        EXPECT_STREQ(WarningText(row.item), row.warning);
    }
}

TEST(ItemTextTest, SafeRangeTextsPerBoard) {
    // Columns in BoardKind order: 9200, 9600, 9800B, 9800, F2, 12, Other.
    struct Row {
        Item item;
        const char* texts[7];
    };
    const Row rows[] = {
        {Item::FanSpeed,
         {">3000  RPM", ">3000  RPM", ">3000  RPM", ">3000  RPM", ">3000  RPM", ">3000  RPM",
          ">3000  RPM"}},
        {Item::MemoryCoreVoltage,
         {"3.00V - 3.30V", "2.40V - 3.00V", "2.50V - 2.90V", "2.70V - 3.10V", "2.80V - 3.10V",
          "2.375V - 2.725V", "2.80V - 3.10V"}},
        {Item::MemoryIoVoltage,
         {"2.375V - 2.725V", "2.40V - 3.00V", "2.60V - 3.00V", "2.45V - 2.85V", "2.60V - 3.00V",
          "2.375V - 2.725V", "2.60V - 3.00V"}},
        {Item::VpuCoreVoltage,
         {"1.25V - 1.95V", "1.05V - 1.55V", "1.5V - 1.9V", "1.5V - 1.9V", "1.25V - 1.75V",
          "1.25V - 1.75V", "1.25V - 1.75V"}},
        {Item::VpuTemperature,
         {"< 70 C/ 158 F", "< 70 C/ 158 F", "< 85 C/ 185 F", "< 85 C/ 185 F", "< 70 C/ 158 F",
          "< 70 C/ 158 F", "< 70 C/ 158 F"}},
        {Item::MemoryTemperature1,
         {"< 70 C/ 158 F", "< 70 C/ 158 F", "< 70 C/ 158 F", "< 70 C/ 158 F", "< 70 C/ 158 F",
          "< 70 C/ 158 F", "< 70 C/ 158 F"}},
    };
    for (const Row& row : rows) {
        for (size_t k = 0; k < 7; ++k) {
            EXPECT_STREQ(SafeRangeText(row.item, kAllKinds[k]), row.texts[k])
                << ItemListName(row.item) << " kind " << k;
        }
    }
    EXPECT_STREQ(SafeRangeText(Item::MemoryTemperature, Kind::KindF2), "< 70 C/ 158 F");
    EXPECT_STREQ(SafeRangeText(Item::MemoryTemperature2, Kind::Kind9800), "< 70 C/ 158 F");
}

// --- Chart scales ---

struct ScaleRow {
    Item item;
    Kind kind;
    const char* top;
    const char* middle;
    const char* bottom;
    int level;
    // (value, position) probes of the position formula.
    std::vector<std::pair<uint32_t, int>> probes;
};

void CheckScale(const ScaleRow& row, ChartScale scale) {
    SCOPED_TRACE(testing::Message()
                 << ItemListName(row.item) << " kind " << static_cast<int>(row.kind));
    const ChartLabelTexts labels = ChartLabels(row.item, row.kind, scale);
    EXPECT_EQ(labels.top, row.top);
    EXPECT_EQ(labels.middle, row.middle);
    EXPECT_EQ(labels.bottom, row.bottom);
    EXPECT_EQ(ReferenceLevel(row.item, row.kind, scale), row.level);
    for (const auto& [value, position] : row.probes) {
        EXPECT_EQ(ChartPosition(row.item, row.kind, value, scale), position) << "value " << value;
    }
}

TEST(ChartScaleTest, SmallScalesLabelsAndReferenceLevels) {
    const ScaleRow rows[] = {
        {Item::FanSpeed,
         Kind::KindOther,
         " 7000",
         " 5000",
         " 3000",
         25,
         {{3000, 100}, {7000, 0}, {2999, 100}}},  // -1 / 40 truncates toward zero
        {Item::FanSpeed,
         Kind::Kind9200,
         " 7000",
         " 5000",
         " 3000",
         25,
         {{0, 175}, {5039, 50}, {9000, -50}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind9200,
         " 4.00",
         " 3.00",
         " 2.00",
         43,
         {{3150, 43}, {2000, 100}, {4000, 0}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind9600,
         " 4.00",
         " 3.00",
         " 2.00",
         50,
         {{3000, 50}, {2019, 100}, {2039, 99}}},
        {Item::MemoryCoreVoltage, Kind::Kind9800B, " 4.00", " 3.00", " 2.00", 65, {}},
        {Item::MemoryCoreVoltage, Kind::Kind9800, " 4.00", " 3.00", " 2.00", 55, {}},
        {Item::MemoryCoreVoltage, Kind::Kind12, " 4.00", " 3.00", " 2.00", 75, {}},
        {Item::MemoryCoreVoltage, Kind::KindF2, " 4.00", " 3.00", " 2.00", 53, {}},
        {Item::MemoryCoreVoltage, Kind::KindOther, " 4.00", " 3.00", " 2.00", 53, {}},
        {Item::MemoryIoVoltage,
         Kind::Kind9200,
         " 4.00",
         " 3.00",
         " 2.00",
         70,
         {{2600, 70}, {1999, 100}, {1959, 102}}},
        {Item::MemoryIoVoltage, Kind::Kind12, " 4.00", " 3.00", " 2.00", 70, {}},
        {Item::MemoryIoVoltage, Kind::Kind9600, " 4.00", " 3.00", " 2.00", 50, {}},
        {Item::MemoryIoVoltage, Kind::Kind9800B, " 4.00", " 3.00", " 2.00", 60, {}},
        {Item::MemoryIoVoltage, Kind::Kind9800, " 4.00", " 3.00", " 2.00", 68, {}},
        {Item::MemoryIoVoltage, Kind::KindF2, " 4.00", " 3.00", " 2.00", 60, {}},
        {Item::MemoryIoVoltage, Kind::KindOther, " 4.00", " 3.00", " 2.00", 60, {}},
        {Item::VpuCoreVoltage,
         Kind::Kind9200,
         " 2.00",
         " 1.50",
         " 1.00",
         40,
         {{1600, 40}, {1000, 100}, {2000, 0}}},
        {Item::VpuCoreVoltage,
         Kind::Kind9800B,
         " 2.00",
         " 1.50",
         " 1.00",
         30,
         {{1705, 30}, {1709, 30}, {1710, 29}}},
        {Item::VpuCoreVoltage, Kind::Kind9800, " 2.00", " 1.50", " 1.00", 30, {}},
        {Item::VpuCoreVoltage, Kind::Kind9600, " 2.00", " 1.50", " 1.00", 50, {}},
        {Item::VpuCoreVoltage, Kind::KindF2, " 2.00", " 1.50", " 1.00", 50, {}},
        {Item::VpuCoreVoltage, Kind::Kind12, " 2.00", " 1.50", " 1.00", 50, {}},
        {Item::VpuCoreVoltage, Kind::KindOther, " 2.00", " 1.50", " 1.00", 50, {}},
        {Item::MemoryTemperature,
         Kind::KindF2,
         " 80",
         " 50",
         " 20",
         62,
         {{20, 100}, {50, 50}, {80, 0}}},
        {Item::MemoryTemperature1,
         Kind::Kind9800,
         " 80",
         " 50",
         " 20",
         59,
         {{21, 99}, {22, 97}, {19, 101}}},  // -5 / 3 = -1, -10 / 3 = -3
        {Item::MemoryTemperature2,
         Kind::Kind9600,
         " 80",
         " 50",
         " 20",
         62,
         {{0, 133}, {100, -33}, {44, 60}}},
        {Item::VpuTemperature,
         Kind::Kind9200,
         " 70",
         " 50",
         " 30",
         75,
         {{30, 100}, {70, 0}, {45, 63}}},  // -75 / 2 = -37
        {Item::VpuTemperature,
         Kind::KindF2,
         " 70",
         " 50",
         " 30",
         40,
         {{50, 50}, {31, 98}, {0, 175}}},
        {Item::VpuTemperature,
         Kind::Kind9600,
         " 80",
         " 50",
         " 20",
         44,
         {{53, 45}, {20, 100}, {80, 0}}},
        {Item::VpuTemperature, Kind::Kind9800B, " 80", " 50", " 20", 44, {}},
        {Item::VpuTemperature, Kind::Kind9800, " 80", " 50", " 20", 44, {}},
        {Item::VpuTemperature, Kind::Kind12, " 80", " 50", " 20", 44, {}},
        {Item::VpuTemperature, Kind::KindOther, " 80", " 50", " 20", 44, {}},
    };
    for (const ScaleRow& row : rows) {
        CheckScale(row, ChartScale::Small);
    }
}

TEST(ChartScaleTest, LargeScalesLabelsPositionsAndLevels) {
    const ScaleRow rows[] = {
        {Item::FanSpeed,
         Kind::Kind9800,
         " 7000",
         " 5000",
         " 3000",
         25,
         {{3000, 100}, {5000, 50}, {7000, 0}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind9200,
         " 3.30",
         " 3.15",
         " 3.00",
         50,
         {{3150, 50}, {3000, 100}, {3300, 0}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind12,
         " 2.60",
         " 2.50",
         " 2.40",
         50,
         {{2500, 50}, {2401, 100}, {2403, 99}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind9600,
         " 2.90",
         " 2.65",
         " 2.40",
         50,
         {{2650, 50}, {2900, 0}, {2404, 100}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind9800B,
         " 2.80",
         " 2.70",
         " 2.60",
         50,
         {{2700, 50}, {2800, 0}, {2600, 100}}},
        {Item::MemoryCoreVoltage,
         Kind::Kind9800,
         " 3.00",
         " 2.90",
         " 2.80",
         50,
         {{2900, 50}, {3000, 0}, {2800, 100}}},
        {Item::MemoryCoreVoltage,
         Kind::KindF2,
         " 3.00",
         " 2.90",
         " 2.80",
         25,
         {{2900, 50}, {2700, 150}, {3100, -50}}},
        {Item::MemoryCoreVoltage, Kind::KindOther, " 3.00", " 2.90", " 2.80", 25, {}},
        {Item::MemoryIoVoltage,
         Kind::Kind9200,
         " 2.80",
         " 2.60",
         " 2.40",
         50,
         {{2600, 50}, {2800, 0}, {2403, 100}}},
        {Item::MemoryIoVoltage,
         Kind::Kind12,
         " 2.70",
         " 2.60",
         " 2.50",
         50,
         {{2600, 50}, {2700, 0}, {2500, 100}}},
        {Item::MemoryIoVoltage,
         Kind::Kind9600,
         " 2.90",
         " 2.70",
         " 2.50",
         50,
         {{2700, 50}, {2900, 0}, {2500, 100}}},
        {Item::MemoryIoVoltage,
         Kind::Kind9800B,
         "2.90",
         "2.80",
         "2.70",
         50,
         {{2800, 50}, {2900, 0}, {2700, 100}}},
        {Item::MemoryIoVoltage,
         Kind::Kind9800,
         " 2.75",
         " 2.65",
         " 2.55",
         50,
         {{2650, 50}, {2750, 0}, {2550, 100}}},
        {Item::MemoryIoVoltage,
         Kind::KindF2,
         " 2.90",
         " 2.80",
         " 2.70",
         50,
         {{2800, 50}, {2900, 0}, {2700, 100}}},
        {Item::MemoryIoVoltage, Kind::KindOther, " 2.90", " 2.80", " 2.70", 50, {}},
        {Item::VpuCoreVoltage,
         Kind::Kind9200,
         " 1.70",
         " 1.60",
         " 1.50",
         50,
         {{1600, 50}, {1700, 0}, {1500, 100}}},
        {Item::VpuCoreVoltage,
         Kind::Kind9600,
         " 1.40",
         " 1.30",
         " 1.20",
         50,
         {{1300, 50}, {1400, 0}, {1200, 100}}},
        {Item::VpuCoreVoltage,
         Kind::Kind9800B,
         " 1.80",
         " 1.70",
         " 1.60",
         50,
         {{1700, 50}, {1800, 0}, {1600, 100}}},
        {Item::VpuCoreVoltage, Kind::Kind9800, " 1.80", " 1.70", " 1.60", 50, {}},
        {Item::VpuCoreVoltage,
         Kind::KindF2,
         " 1.60",
         " 1.50",
         " 1.40",
         50,
         {{1500, 50}, {1600, 0}, {1400, 100}}},
        {Item::VpuCoreVoltage, Kind::Kind12, " 1.60", " 1.50", " 1.40", 50, {}},
        {Item::VpuCoreVoltage, Kind::KindOther, " 1.60", " 1.50", " 1.40", 50, {}},
        {Item::MemoryTemperature,
         Kind::KindF2,
         " 70",
         " 45",
         " 20",
         50,
         {{45, 50}, {70, 0}, {20, 100}}},
        {Item::MemoryTemperature1,
         Kind::Kind9800,
         " 70",
         " 45",
         " 20",
         50,
         {{45, 50}, {71, -2}, {0, 140}}},
        {Item::MemoryTemperature2, Kind::KindOther, " 70", " 45", " 20", 50, {{44, 52}}},
        {Item::VpuTemperature,
         Kind::Kind9200,
         " 60",
         " 40",
         " 20",
         50,
         {{40, 50}, {60, 0}, {21, 98}}},  // -5 / 2 = -2
        {Item::VpuTemperature,
         Kind::KindF2,
         " 70",
         " 50",
         " 30",
         50,
         {{50, 50}, {70, 0}, {30, 100}}},
        {Item::VpuTemperature,
         Kind::Kind9800,
         " 80",
         " 50",
         " 20",
         40,
         {{50, 50}, {80, 0}, {20, 100}}},
        {Item::VpuTemperature, Kind::Kind9600, " 80", " 50", " 20", 40, {}},
    };
    for (const ScaleRow& row : rows) {
        CheckScale(row, ChartScale::Large);
    }
}

TEST(ChartScaleTest, WildValuesDoNotOverflow) {
    // A raw value passed through unfiltered must give a position, not undefined arithmetic.
    for (Item item : kAllItems) {
        for (ChartScale scale : {ChartScale::Small, ChartScale::Large}) {
            EXPECT_GT(ChartPosition(item, Kind::KindOther, 0x80000000u, scale), 100);
            EXPECT_LT(ChartPosition(item, Kind::KindOther, 0x7FFFFFFFu, scale), 0);
        }
    }
    EXPECT_EQ(ChartPosition(Item::FanSpeed, Kind::KindOther, 0xFFFFFFFFu, ChartScale::Small),
              175);  // -1 as a signed reading
}

TEST(ChartScaleTest, LargeChartTitles) {
    const std::pair<Item, const char*> rows[] = {
        {Item::FanSpeed, "ZEL        Fan Speed (RPM)"},
        {Item::MemoryCoreVoltage, "ZEL        Memory Core Voltage (V)"},
        {Item::MemoryIoVoltage, "ZEL        Memory I/O Voltage (v)"},
        {Item::VpuCoreVoltage, "ZEL        VPU Core Valtage (V)"},
        {Item::MemoryTemperature, "ZEL        Memory Temperature  (C)"},
        {Item::MemoryTemperature1, "ZEL        Memory Temperature 1 (C)"},
        {Item::MemoryTemperature2, "ZEL        Memory Temperature 2 (C)"},
        {Item::VpuTemperature, "ZEL        VPU Temperature (C)"},
    };
    for (const auto& [item, title] : rows) {
        for (Kind kind : kAllKinds) {
            EXPECT_STREQ(LargeChartTitle(item, kind), title);
        }
    }
}

// --- Main panel ---

struct PanelFanRow {
    Kind kind;
    FanState fan;
    int nLast;
    std::vector<uint32_t> readings;  // what the fan request returns, in order
    const char* text;
    int nRpm;
    bool bSafe;
    size_t nReads;
};

TEST(MainPanelTest, FanSample) {
    const PanelFanRow rows[] = {
        {Kind::KindOther, {0, false}, 0, {4200}, "4200 RPM", 4200, true, 1},
        {Kind::KindOther, {0, false}, 0, {3000}, "3000 RPM", 3000, true, 1},
        // A slow first reading is confirmed by a second one.
        {Kind::KindOther, {0, false}, 0, {2999, 2999}, "Not Safe", 2999, false, 2},
        {Kind::KindOther, {0, false}, 0, {2999, 3500}, "3500 RPM", 3500, true, 2},
        {Kind::KindOther, {0, false}, 4000, {0, 0}, "Not Safe", 0, false, 2},
        // A failed transaction is replaced by the last value.
        {Kind::KindOther, {0, false}, 4100, {0xFFFFFFFF}, "4100 RPM", 4100, true, 1},
        {Kind::Kind9600, {0, false}, 2000, {0xFFFFFFFF, 0xFFFFFFFF}, "Not Safe", 2000, false, 2},
        {Kind::Kind9600, {0, false}, 2000, {1000, 0xFFFFFFFF}, "Not Safe", 1000, false, 2},
        // No fan: nothing is read.
        {Kind::Kind9800, {1, false}, 4000, {}, "Unknown", 0, true, 0},
        // Stopped on the 9200 board: no second reading.
        {Kind::Kind9200, {0, true}, 0, {0}, "Stopped!", 0, true, 1},
        {Kind::Kind9200, {0, false}, 0, {0, 0}, "Not Safe", 0, false, 2},
        {Kind::Kind9800, {0, true}, 0, {0, 0}, "Not Safe", 0, false, 2},
    };
    for (const PanelFanRow& row : rows) {
        size_t nReads = 0;
        const PanelFanSample sample =
            SamplePanelFan(row.kind, row.fan, row.nLast, [&]() -> uint32_t {
                return nReads < row.readings.size() ? row.readings[nReads++] : 0x12345;
            });
        SCOPED_TRACE(row.text);
        EXPECT_EQ(sample.text, row.text);
        EXPECT_EQ(sample.nRpm, row.nRpm);
        EXPECT_EQ(sample.bSafe, row.bSafe);
        EXPECT_EQ(nReads, row.nReads);
    }
}

TEST(MainPanelTest, TemperatureWindowAndLimits) {
    EXPECT_EQ(FilterPanelTemperature(16, 40), 16);
    EXPECT_EQ(FilterPanelTemperature(100, 40), 100);
    EXPECT_EQ(FilterPanelTemperature(101, 40), 40);
    EXPECT_EQ(FilterPanelTemperature(15, 40), 40);
    EXPECT_EQ(FilterPanelTemperature(0xFFFFFFFF, 40), 40);
    EXPECT_EQ(FilterPanelTemperature(90, 40), 90) << "no slew limit on the panel";

    for (Kind kind : kAllKinds) {
        const bool b9800 = kind == Kind::Kind9800B || kind == Kind::Kind9800;
        const int limit = b9800 ? 85 : 70;
        EXPECT_TRUE(IsPanelTemperatureSafe(kind, limit));
        EXPECT_FALSE(IsPanelTemperatureSafe(kind, limit + 1));
        // The same 70 °C is unsafe in the details dialog.
        EXPECT_EQ(IsItemSafe(Item::VpuTemperature, kind, 70, kFanRunning), b9800);
    }
}

TEST(MainPanelTest, ChartPositionsUseFixedScales) {
    struct Row {
        int value;
        int fanPosition;
        int temperaturePosition;
    };
    const Row rows[] = {
        {0, 175, 133},       // no fan: the last speed is 0; no temperature accepted yet
        {20, 174, 100},      // -2980 / 40 = -74
        {21, 174, 99},       // -5 / 3 = -1
        {45, 173, 59},       // -125 / 3 = -41
        {80, 173, 0},        // the top of the temperature scale
        {100, 172, -33},     // -400 / 3 = -133
        {2999, 100, -4865},  // -1 / 40 truncates toward zero
        {3000, 100, -4866},  // the bottom of the fan scale
        {7000, 0, -11533},   // the top of the fan scale
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PanelFanPosition(row.value), row.fanPosition) << row.value;
        EXPECT_EQ(PanelTemperaturePosition(row.value), row.temperaturePosition) << row.value;
    }
    // The details chart zooms the VPU temperature to 30..70 on these boards; the panel does not.
    EXPECT_EQ(ChartPosition(Item::VpuTemperature, Kind::Kind9200, 45, ChartScale::Small), 63);
    EXPECT_EQ(ChartPosition(Item::VpuTemperature, Kind::KindF2, 45, ChartScale::Small), 63);
    // The panel keeps its readings as signed numbers; a wild one must not overflow.
    EXPECT_GT(PanelFanPosition(std::numeric_limits<int>::min()), 100);
    EXPECT_LT(PanelFanPosition(std::numeric_limits<int>::max()), 0);
    EXPECT_GT(PanelTemperaturePosition(std::numeric_limits<int>::min()), 100);
    EXPECT_LT(PanelTemperaturePosition(std::numeric_limits<int>::max()), 0);
}

}  // namespace
