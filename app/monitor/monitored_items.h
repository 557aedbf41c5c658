// The things ZEL watches on the graphics board: which items a board has, which driver reading
// feeds each, how a raw reading becomes a value, when a value is safe, and every text and chart
// scale that goes with it. Data and small pure functions only; the windows take their numbers and
// texts from here. No Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

// Board classification used by every monitoring rule; decided once from the two id words.
enum class BoardKind { Kind9200, Kind9600, Kind9800B, Kind9800, KindF2, Kind12, KindOther };

enum class MonitoredItem {
    FanSpeed,
    VpuTemperature,
    MemoryTemperature,
    MemoryTemperature1,
    MemoryTemperature2,
    VpuCoreVoltage,
    MemoryIoVoltage,
    MemoryCoreVoltage,
};

// Sample: the once-a-second refresh. Selection: the text written when an item is first selected.
enum class ValueForm { Sample, Selection };

// Small: the details dialog and main panel charts. Large: the zoomed large chart window.
enum class ChartScale { Small, Large };

// The user's fan choices that change how the fan item is judged and shown: the cached "nofan"
// value (g_nNoFan, 1 = third-party heatsink, nothing to watch) and whether the user stopped the
// fan (g_bFanStopped).
struct FanState {
    int nNoFan = 0;
    bool bFanStopped = false;
};

// From the PCI id word (g_nAdapterId) and the subsystem id word (g_nSubsystemId).
BoardKind ClassifyBoard(uint32_t nAdapterId, uint32_t nSubsystemId);
// The same for this process's board, from g_nAdapterId and g_nSubsystemId.
BoardKind ClassifyBoard();
// g_nNoFan and g_bFanStopped as they stand.
FanState CurrentFanState();

// The items of a board in list order (alphabetical, as the sorted details list shows them).
std::span<const MonitoredItem> ItemListOrder(BoardKind kind);
// The order in which the details dialog adds them to its sorted list.
std::span<const MonitoredItem> ItemAddOrder(BoardKind kind);
// The item at a list index; none for a negative index (no selection) or an index past the end.
std::optional<MonitoredItem> ItemAt(BoardKind kind, int index);

const char* ItemListName(MonitoredItem item);
// The QueryDriverReading request code whose result feeds the item.
uint32_t ItemRequest(MonitoredItem item);

// The accepted value of a details-dialog reading; `last` is the previous accepted value of the
// same item. Temperatures move by at most 2 degrees per sample once they jump by more than 5.
uint32_t FilterReading(MonitoredItem item, BoardKind kind, uint32_t raw, uint32_t last);

// The details dialog's verdict, the fan exceptions included.
bool IsItemSafe(MonitoredItem item, BoardKind kind, uint32_t value, FanState fan);

// The current-value text in the sample or the selection form.
std::string FormatItemValue(MonitoredItem item, BoardKind kind, uint32_t value, ValueForm form,
                            FanState fan);

// °C × 9 / 5 + 32 in unsigned arithmetic, truncating.
uint32_t FahrenheitOf(uint32_t celsius);
// "%d C/ %d F".
std::string TemperatureText(uint32_t celsius);

// Chart position 0..100 measured from the top, unclamped (the chart clamps).
int ChartPosition(MonitoredItem item, BoardKind kind, uint32_t value, ChartScale scale);

struct ChartLabelTexts {
    std::string top;
    std::string middle;
    std::string bottom;
};
ChartLabelTexts ChartLabels(MonitoredItem item, BoardKind kind, ChartScale scale);

// The DrawLevel argument of the details chart (small) or the large chart.
int ReferenceLevel(MonitoredItem item, BoardKind kind, ChartScale scale);
const char* LargeChartTitle(MonitoredItem item, BoardKind kind);

const char* SafeRangeText(MonitoredItem item, BoardKind kind);
const char* UnitLabel(MonitoredItem item);
const char* Description(MonitoredItem item);
const char* WarningText(MonitoredItem item);

// --- The main panel's own two readings, which it filters and judges differently. ---

struct PanelFanSample {
    std::string text;  // "%d RPM", "Stopped!", "Unknown" or "Not Safe"
    int nRpm = 0;      // the new last fan speed
    bool bSafe = true;
};

// One fan step of the panel sample. `readFan` makes one fan reading (0 when the request fails);
// a raw 0xFFFFFFFF is replaced by the last value. A slow fan is read a second time, and that
// reading decides, unless the user stopped the fan on a RADEON 9200.
PanelFanSample SamplePanelFan(BoardKind kind, FanState fan, int nLastRpm,
                              const std::function<uint32_t()>& readFan);

// The panel's temperature: accepted when 16..100, otherwise the last value; no slew limit.
int FilterPanelTemperature(uint32_t raw, int nLast);
// Unsafe above 85 on the RADEON 9800 PRO boards, above 70 on every other board.
bool IsPanelTemperatureSafe(BoardKind kind, int nCelsius);

// The panel chart's two series, unclamped: the fan on the 3000..7000 RPM scale and the VPU
// temperature on the 20..80 °C scale. The panel's scale labels are fixed, so unlike the details
// chart the temperature keeps this scale on every board, the RADEON 9200 and F2 boards included.
int PanelFanPosition(int nRpm);
int PanelTemperaturePosition(int nCelsius);
