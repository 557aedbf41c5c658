#include "app/monitor/monitored_items.h"

#include <array>
#include <cstdio>
#include <limits>

#include "app/device/process_state.h"
#include "protocol/ioctl.h"

namespace {

using Item = MonitoredItem;
using Kind = BoardKind;

constexpr uint32_t kFailedReading = 0xFFFFFFFFu;
constexpr uint32_t kSafeFanRpm = 3000;

constexpr std::array kOrder9200 = {Item::FanSpeed, Item::MemoryCoreVoltage, Item::MemoryIoVoltage,
                                   Item::VpuCoreVoltage, Item::VpuTemperature};
constexpr std::array kOrderF2 = {Item::FanSpeed,        Item::MemoryCoreVoltage,
                                 Item::MemoryIoVoltage, Item::MemoryTemperature,
                                 Item::VpuCoreVoltage,  Item::VpuTemperature};
constexpr std::array kOrderSeven = {Item::FanSpeed,           Item::MemoryCoreVoltage,
                                    Item::MemoryIoVoltage,    Item::MemoryTemperature1,
                                    Item::MemoryTemperature2, Item::VpuCoreVoltage,
                                    Item::VpuTemperature};

constexpr std::array kAdd9200 = {Item::FanSpeed, Item::VpuTemperature, Item::VpuCoreVoltage,
                                 Item::MemoryIoVoltage, Item::MemoryCoreVoltage};
constexpr std::array kAddF2 = {Item::FanSpeed,          Item::VpuTemperature,
                               Item::MemoryTemperature, Item::VpuCoreVoltage,
                               Item::MemoryIoVoltage,   Item::MemoryCoreVoltage};
constexpr std::array kAddSeven = {
    Item::FanSpeed,       Item::VpuTemperature,  Item::MemoryTemperature1, Item::MemoryTemperature2,
    Item::VpuCoreVoltage, Item::MemoryIoVoltage, Item::MemoryCoreVoltage};

bool IsTemperature(Item item) {
    return item == Item::VpuTemperature || item == Item::MemoryTemperature ||
           item == Item::MemoryTemperature1 || item == Item::MemoryTemperature2;
}

bool IsVoltage(Item item) {
    return item == Item::VpuCoreVoltage || item == Item::MemoryIoVoltage ||
           item == Item::MemoryCoreVoltage;
}

// The boards with five or six items, whose VPU temperature uses the narrower windows and scales.
bool IsShortListBoard(Kind kind) {
    return kind == Kind::Kind9200 || kind == Kind::KindF2;
}

bool Is9800Class(Kind kind) {
    return kind == Kind::Kind9800B || kind == Kind::Kind9800;
}

// One row of a per-board voltage table: the safe band in millivolts and its text.
struct VoltageBand {
    uint32_t nLow;
    uint32_t nHigh;
    const char* pszText;
};

// Indexed by BoardKind.
constexpr std::array<VoltageBand, 7> kMemoryCoreBands = {{
    {3000, 3300, "3.00V - 3.30V"},    // Kind9200
    {2400, 3000, "2.40V - 3.00V"},    // Kind9600
    {2500, 2900, "2.50V - 2.90V"},    // Kind9800B
    {2700, 3100, "2.70V - 3.10V"},    // Kind9800
    {2800, 3100, "2.80V - 3.10V"},    // KindF2
    {2375, 2725, "2.375V - 2.725V"},  // Kind12
    {2800, 3100, "2.80V - 3.10V"},    // KindOther
}};

constexpr std::array<VoltageBand, 7> kMemoryIoBands = {{
    {2375, 2725, "2.375V - 2.725V"},  // Kind9200
    {2400, 3000, "2.40V - 3.00V"},    // Kind9600
    {2600, 3000, "2.60V - 3.00V"},    // Kind9800B
    {2450, 2850, "2.45V - 2.85V"},    // Kind9800
    {2600, 3000, "2.60V - 3.00V"},    // KindF2
    {2375, 2725, "2.375V - 2.725V"},  // Kind12
    {2600, 3000, "2.60V - 3.00V"},    // KindOther
}};

// The VPU core band is judged with exclusive bounds.
constexpr std::array<VoltageBand, 7> kVpuCoreBands = {{
    {1250, 1950, "1.25V - 1.95V"},  // Kind9200
    {1050, 1550, "1.05V - 1.55V"},  // Kind9600
    {1500, 1900, "1.5V - 1.9V"},    // Kind9800B
    {1500, 1900, "1.5V - 1.9V"},    // Kind9800
    {1250, 1750, "1.25V - 1.75V"},  // KindF2
    {1250, 1750, "1.25V - 1.75V"},  // Kind12
    {1250, 1750, "1.25V - 1.75V"},  // KindOther
}};

const VoltageBand& BandOf(Item item, Kind kind) {
    const auto index = static_cast<size_t>(kind);
    if (item == Item::MemoryCoreVoltage) {
        return kMemoryCoreBands[index];
    }
    if (item == Item::MemoryIoVoltage) {
        return kMemoryIoBands[index];
    }
    return kVpuCoreBands[index];
}

// The position formulas are all of the form offset + factor × (base − v) / divisor in signed
// arithmetic, with truncating division. Evaluated in 64 bits so that a wild reading cannot
// overflow; the result is then saturated, which changes nothing for any value the chart can show.
struct PositionFormula {
    int64_t nOffset;
    int64_t nFactor;
    int64_t nBase;
    int64_t nDivisor;
};

int Evaluate(const PositionFormula& f, uint32_t value) {
    const int64_t v = static_cast<int32_t>(value);
    int64_t position = f.nOffset + f.nFactor * (f.nBase - v) / f.nDivisor;
    if (position > std::numeric_limits<int32_t>::max()) {
        position = std::numeric_limits<int32_t>::max();
    }
    if (position < std::numeric_limits<int32_t>::min()) {
        position = std::numeric_limits<int32_t>::min();
    }
    return static_cast<int>(position);
}

// 100 − (v − base) / divisor
constexpr PositionFormula Falling(int64_t base, int64_t divisor) {
    return {100, 1, base, divisor};
}

// One chart scale: labels (top, middle, bottom), their format, the position formula and the
// reference level.
struct ScaleRow {
    double top;
    double middle;
    double bottom;
    const char* pszFormat;
    PositionFormula position;
    int nLevel;
};

constexpr const char* kVolts = " %1.2f";
constexpr const char* kWhole = " %d";

constexpr PositionFormula kTemp2080 = {100, 5, 20, 3};
constexpr PositionFormula kTemp3070 = {100, 5, 30, 2};

ScaleRow SmallScale(Item item, Kind kind) {
    switch (item) {
        case Item::FanSpeed:
            return {7000, 5000, 3000, kWhole, Falling(3000, 40), 25};
        case Item::MemoryCoreVoltage: {
            static constexpr std::array<int, 7> kLevels = {43, 50, 65, 55, 53, 75, 53};
            return {
                4.00, 3.00, 2.00, kVolts, Falling(2000, 20), kLevels[static_cast<size_t>(kind)]};
        }
        case Item::MemoryIoVoltage: {
            static constexpr std::array<int, 7> kLevels = {70, 50, 60, 68, 60, 70, 60};
            return {
                4.00, 3.00, 2.00, kVolts, Falling(2000, 20), kLevels[static_cast<size_t>(kind)]};
        }
        case Item::VpuCoreVoltage: {
            static constexpr std::array<int, 7> kLevels = {40, 50, 30, 30, 50, 50, 50};
            return {
                2.00, 1.50, 1.00, kVolts, Falling(1000, 10), kLevels[static_cast<size_t>(kind)]};
        }
        case Item::MemoryTemperature:
            return {80, 50, 20, kWhole, kTemp2080, 62};
        case Item::MemoryTemperature1:
            return {80, 50, 20, kWhole, kTemp2080, 59};
        case Item::MemoryTemperature2:
            return {80, 50, 20, kWhole, kTemp2080, 62};
        case Item::VpuTemperature:
            if (kind == Kind::Kind9200) {
                return {70, 50, 30, kWhole, kTemp3070, 75};
            }
            if (kind == Kind::KindF2) {
                return {70, 50, 30, kWhole, kTemp3070, 40};
            }
            return {80, 50, 20, kWhole, kTemp2080, 44};
    }
    return {};
}

ScaleRow LargeScale(Item item, Kind kind) {
    switch (item) {
        case Item::FanSpeed:
            return {7000, 5000, 3000, kWhole, Falling(3000, 40), 25};
        case Item::MemoryCoreVoltage:
            switch (kind) {
                case Kind::Kind9200:
                    return {3.30, 3.15, 3.00, kVolts, Falling(3000, 3), 50};
                case Kind::Kind12:
                    return {2.60, 2.50, 2.40, kVolts, Falling(2400, 2), 50};
                case Kind::Kind9600:
                    return {2.90, 2.65, 2.40, kVolts, Falling(2400, 5), 50};
                case Kind::Kind9800B:
                    return {2.80, 2.70, 2.60, kVolts, Falling(2600, 2), 50};
                case Kind::Kind9800:
                    return {3.00, 2.90, 2.80, kVolts, Falling(2800, 2), 50};
                case Kind::KindF2:
                case Kind::KindOther:
                    return {3.00, 2.90, 2.80, kVolts, Falling(2800, 2), 25};
            }
            break;
        case Item::MemoryIoVoltage:
            switch (kind) {
                case Kind::Kind9200:
                    return {2.80, 2.60, 2.40, kVolts, Falling(2400, 4), 50};
                case Kind::Kind12:
                    return {2.70, 2.60, 2.50, kVolts, Falling(2500, 2), 50};
                case Kind::Kind9600:
                    return {2.90, 2.70, 2.50, kVolts, Falling(2500, 4), 50};
                case Kind::Kind9800B:
                    return {2.90, 2.80, 2.70, "%1.2f", Falling(2700, 2), 50};
                case Kind::Kind9800:
                    return {2.75, 2.65, 2.55, kVolts, Falling(2550, 2), 50};
                case Kind::KindF2:
                case Kind::KindOther:
                    return {2.90, 2.80, 2.70, kVolts, Falling(2700, 2), 50};
            }
            break;
        case Item::VpuCoreVoltage:
            switch (kind) {
                case Kind::Kind9200:
                    return {1.70, 1.60, 1.50, kVolts, Falling(1500, 2), 50};
                case Kind::Kind9600:
                    return {1.40, 1.30, 1.20, kVolts, Falling(1200, 2), 50};
                case Kind::Kind9800B:
                case Kind::Kind9800:
                    return {1.80, 1.70, 1.60, kVolts, Falling(1600, 2), 50};
                case Kind::KindF2:
                case Kind::Kind12:
                case Kind::KindOther:
                    return {1.60, 1.50, 1.40, kVolts, Falling(1400, 2), 50};
            }
            break;
        case Item::MemoryTemperature:
        case Item::MemoryTemperature1:
        case Item::MemoryTemperature2:
            // 2 × (70 − v)
            return {70, 45, 20, kWhole, {0, 2, 70, 1}, 50};
        case Item::VpuTemperature:
            if (kind == Kind::Kind9200) {
                return {60, 40, 20, kWhole, {100, 5, 20, 2}, 50};
            }
            if (kind == Kind::KindF2) {
                return {70, 50, 30, kWhole, kTemp3070, 50};
            }
            return {80, 50, 20, kWhole, kTemp2080, 40};
    }
    return {};
}

ScaleRow ScaleOf(Item item, Kind kind, ChartScale scale) {
    return scale == ChartScale::Small ? SmallScale(item, kind) : LargeScale(item, kind);
}

std::string Printf(const char* format, double value, bool bWhole) {
    char text[64];
    if (bWhole) {
        std::snprintf(text, sizeof text, format, static_cast<int>(value));
    } else {
        std::snprintf(text, sizeof text, format, value);
    }
    return text;
}

}  // namespace

BoardKind ClassifyBoard(uint32_t nAdapterId, uint32_t nSubsystemId) {
    if (nAdapterId == kAdapterRadeon9200) {
        return Kind::Kind9200;
    }
    if (nAdapterId == kAdapterRadeon9600Pro) {
        return Kind::Kind9600;
    }
    if (nAdapterId == kAdapterRadeon9800Pro) {
        return nSubsystemId == kSubsystem9800B ? Kind::Kind9800B : Kind::Kind9800;
    }
    if (nSubsystemId == kSubsystemF2) {
        return Kind::KindF2;
    }
    if (nSubsystemId == kSubsystem12) {
        return Kind::Kind12;
    }
    return Kind::KindOther;
}

BoardKind ClassifyBoard() {
    return ClassifyBoard(g_nAdapterId, g_nSubsystemId);
}

FanState CurrentFanState() {
    return {g_nNoFan, g_bFanStopped != 0};
}

std::span<const MonitoredItem> ItemListOrder(BoardKind kind) {
    if (kind == Kind::Kind9200) {
        return kOrder9200;
    }
    if (kind == Kind::KindF2) {
        return kOrderF2;
    }
    return kOrderSeven;
}

std::span<const MonitoredItem> ItemAddOrder(BoardKind kind) {
    if (kind == Kind::Kind9200) {
        return kAdd9200;
    }
    if (kind == Kind::KindF2) {
        return kAddF2;
    }
    return kAddSeven;
}

std::optional<MonitoredItem> ItemAt(BoardKind kind, int index) {
    const auto items = ItemListOrder(kind);
    if (index < 0 || static_cast<size_t>(index) >= items.size()) {
        return std::nullopt;
    }
    return items[static_cast<size_t>(index)];
}

const char* ItemListName(MonitoredItem item) {
    switch (item) {
        case Item::FanSpeed:
            return "FAN Speed";
        case Item::VpuTemperature:
            return "VPU Temperature";
        case Item::MemoryTemperature:
            return "Memory Temperature";
        case Item::MemoryTemperature1:
            return "Memory Temperature 1";
        case Item::MemoryTemperature2:
            return "Memory Temperature 2";
        case Item::VpuCoreVoltage:
            return "VPU Core Voltage";
        case Item::MemoryIoVoltage:
            return "Memory I/O Voltage";
        case Item::MemoryCoreVoltage:
            return "Memory Core Voltage";
    }
    return "";
}

uint32_t ItemRequest(MonitoredItem item) {
    switch (item) {
        case Item::FanSpeed:
            return IOCTL_READ_FAN1;
        case Item::VpuTemperature:
            return IOCTL_READ_TEMP3;
        case Item::MemoryTemperature:
        case Item::MemoryTemperature2:
            return IOCTL_READ_TEMP2;  // the same sensor under two names
        case Item::MemoryTemperature1:
            return IOCTL_READ_TEMP1;
        case Item::VpuCoreVoltage:
            return IOCTL_READ_IN7;
        case Item::MemoryIoVoltage:
            return IOCTL_READ_IN1;
        case Item::MemoryCoreVoltage:
            return IOCTL_READ_IN5;
    }
    return 0;
}

uint32_t FilterReading(MonitoredItem item, BoardKind kind, uint32_t raw, uint32_t last) {
    // A failed sensor transaction is never shown or judged.
    bool bAccepted = raw != kFailedReading;
    if (IsVoltage(item)) {
        const bool bCore = item == Item::VpuCoreVoltage;
        const uint32_t nLow = bCore ? 1000 : 2000;
        const uint32_t nHigh = bCore ? 2000 : 3800;
        bAccepted = bAccepted && raw >= nLow && raw <= nHigh;
    } else if (IsTemperature(item)) {
        const uint32_t nHigh = (item == Item::VpuTemperature && !IsShortListBoard(kind)) ? 85 : 74;
        bAccepted = bAccepted && raw >= 16 && raw <= nHigh;
    }
    const uint32_t t = bAccepted ? raw : last;
    if (!IsTemperature(item)) {
        return t;
    }
    // Slew limit, in unsigned arithmetic like the readings themselves.
    if (t > last + 5) {
        return last + 2;
    }
    if (last > t + 5) {
        return last - 2;
    }
    return t;
}

bool IsItemSafe(MonitoredItem item, BoardKind kind, uint32_t value, FanState fan) {
    switch (item) {
        case Item::FanSpeed:
            if (fan.nNoFan == 1 || value >= kSafeFanRpm) {
                return true;
            }
            return kind == Kind::Kind9200 && fan.bFanStopped;
        case Item::MemoryCoreVoltage:
        case Item::MemoryIoVoltage: {
            const VoltageBand& band = BandOf(item, kind);
            return value >= band.nLow && value <= band.nHigh;
        }
        case Item::VpuCoreVoltage: {
            const VoltageBand& band = BandOf(item, kind);
            return value > band.nLow && value < band.nHigh;
        }
        case Item::MemoryTemperature:
        case Item::MemoryTemperature1:
        case Item::MemoryTemperature2:
            return value < 70;
        case Item::VpuTemperature:
            return value < (Is9800Class(kind) ? 85u : 70u);
    }
    return false;
}

uint32_t FahrenheitOf(uint32_t celsius) {
    return celsius * 9 / 5 + 32;
}

std::string TemperatureText(uint32_t celsius) {
    char text[64];
    std::snprintf(text, sizeof text, "%d C/ %d F", static_cast<int>(celsius),
                  static_cast<int>(FahrenheitOf(celsius)));
    return text;
}

std::string FormatItemValue(MonitoredItem item, BoardKind kind, uint32_t value, ValueForm form,
                            FanState fan) {
    char text[64];
    if (item == Item::FanSpeed) {
        if (fan.nNoFan == 1) {
            return "Unknown";
        }
        if (value >= kSafeFanRpm) {
            std::snprintf(text, sizeof text, form == ValueForm::Sample ? "%d RPM" : "%d  RPM",
                          static_cast<int>(value));
            return text;
        }
        if (kind == Kind::Kind9200 && fan.bFanStopped) {
            return "Stopped!";
        }
        return "not safe";
    }
    if (IsVoltage(item)) {
        std::snprintf(text, sizeof text, form == ValueForm::Sample ? "%2.4f   V" : "%2.4f  V",
                      value * 0.001);
        return text;
    }
    return TemperatureText(value);
}

int ChartPosition(MonitoredItem item, BoardKind kind, uint32_t value, ChartScale scale) {
    return Evaluate(ScaleOf(item, kind, scale).position, value);
}

ChartLabelTexts ChartLabels(MonitoredItem item, BoardKind kind, ChartScale scale) {
    const ScaleRow row = ScaleOf(item, kind, scale);
    const bool bWhole = !IsVoltage(item);
    return {Printf(row.pszFormat, row.top, bWhole), Printf(row.pszFormat, row.middle, bWhole),
            Printf(row.pszFormat, row.bottom, bWhole)};
}

int ReferenceLevel(MonitoredItem item, BoardKind kind, ChartScale scale) {
    return ScaleOf(item, kind, scale).nLevel;
}

const char* LargeChartTitle(MonitoredItem item, BoardKind /*kind*/) {
    // Each item has one title on every board that has the item.
    switch (item) {
        case Item::FanSpeed:
            return "ZEL        Fan Speed (RPM)";
        case Item::MemoryCoreVoltage:
            return "ZEL        Memory Core Voltage (V)";
        case Item::MemoryIoVoltage:
            return "ZEL        Memory I/O Voltage (v)";
        case Item::VpuCoreVoltage:
            return "ZEL        VPU Core Valtage (V)";
        case Item::MemoryTemperature:
            return "ZEL        Memory Temperature  (C)";
        case Item::MemoryTemperature1:
            return "ZEL        Memory Temperature 1 (C)";
        case Item::MemoryTemperature2:
            return "ZEL        Memory Temperature 2 (C)";
        case Item::VpuTemperature:
            return "ZEL        VPU Temperature (C)";
    }
    return "ZEL";
}

const char* SafeRangeText(MonitoredItem item, BoardKind kind) {
    switch (item) {
        case Item::FanSpeed:
            return ">3000  RPM";
        case Item::MemoryCoreVoltage:
        case Item::MemoryIoVoltage:
        case Item::VpuCoreVoltage:
            return BandOf(item, kind).pszText;
        case Item::MemoryTemperature:
        case Item::MemoryTemperature1:
        case Item::MemoryTemperature2:
            return "< 70 C/ 158 F";
        case Item::VpuTemperature:
            return Is9800Class(kind) ? "< 85 C/ 185 F" : "< 70 C/ 158 F";
    }
    return "";
}

const char* UnitLabel(MonitoredItem item) {
    if (item == Item::FanSpeed) {
        return "UNIT: RPM";
    }
    return IsVoltage(item) ? "UNIT:   V" : "UNIT:   C";
}

const char* Description(MonitoredItem item) {
    switch (item) {
        case Item::FanSpeed:
            return " \tThe FAN Speed value indicate the revolutions of the fan on graphic card "
                   "every "
                   "minute. ";
        case Item::VpuTemperature:
            return " \tThe VPU Temperature indicates the current temperature on chip.";
        case Item::MemoryTemperature:
            return " \tThe Memory Temperature indicates the current temperature on the memory.";
        case Item::MemoryTemperature1:
        case Item::MemoryTemperature2:
            return " \tThe Memory Temperature indicates the current temperature on the memory. The "
                   "number 1 and 2 indicates the different memory location on board.";
        case Item::VpuCoreVoltage:
            return " \tThe VPU Core Voltage indicates the power supply for VPU operation.";
        case Item::MemoryIoVoltage:
            return " \tThe Memory I/O Voltage indicates the power supply for memory I/O "
                   "Interface. ";
        case Item::MemoryCoreVoltage:
            return " \tThe Memory Core Voltage indicates the power supply for memory operation. ";
    }
    return "";
}

const char* WarningText(MonitoredItem item) {
    switch (item) {
        case Item::FanSpeed:
            return "Warning: Fan speed is too low!";
        case Item::VpuTemperature:
            return "Warning: VPU temperature is too high!";
        case Item::MemoryTemperature:
            return "Warning: Memory temperature is too high!";
        case Item::MemoryTemperature1:
            return "Warning: Memory temperature 1 is too high!";
        case Item::MemoryTemperature2:
            return "Warning: Memory temperature 2 is too high!";
        case Item::VpuCoreVoltage:
            return "Warning: VPU core voltage is out of safe range!";
        case Item::MemoryIoVoltage:
            return "Warning: Memory I/O voltage is out of safe range!";
        case Item::MemoryCoreVoltage:
            return "Warning: Memory core voltage is out of safe range!";
    }
    return "";
}

PanelFanSample SamplePanelFan(BoardKind kind, FanState fan, int nLastRpm,
                              const std::function<uint32_t()>& readFan) {
    if (fan.nNoFan == 1) {
        return {"Unknown", 0, true};
    }
    const auto read = [&](int nLast) {
        const uint32_t raw = readFan();
        return raw == kFailedReading ? nLast : static_cast<int>(raw);
    };
    char text[64];
    int nRpm = read(nLastRpm);
    if (nRpm < static_cast<int>(kSafeFanRpm)) {
        if (kind == Kind::Kind9200 && fan.bFanStopped) {
            return {"Stopped!", nRpm, true};
        }
        // One slow reading may be a glitch of the sensor: a second reading decides.
        nRpm = read(nRpm);
        if (nRpm < static_cast<int>(kSafeFanRpm)) {
            return {"Not Safe", nRpm, false};
        }
    }
    std::snprintf(text, sizeof text, "%d RPM", nRpm);
    return {text, nRpm, true};
}

int FilterPanelTemperature(uint32_t raw, int nLast) {
    return (raw >= 16 && raw <= 100) ? static_cast<int>(raw) : nLast;
}

bool IsPanelTemperatureSafe(BoardKind kind, int nCelsius) {
    return nCelsius <= (Is9800Class(kind) ? 85 : 70);
}

int PanelFanPosition(int nRpm) {
    return Evaluate(Falling(3000, 40), static_cast<uint32_t>(nRpm));
}

int PanelTemperaturePosition(int nCelsius) {
    return Evaluate(kTemp2080, static_cast<uint32_t>(nCelsius));
}
