// The board's readings as kestctl reports them to people and scripts: the monitored items of the
// program's monitor (the same items, safe ranges and texts), each with its raw value and its
// value in its unit.
#pragma once

#include <stdint.h>

#include <span>
#include <string>
#include <vector>

#include "app/monitor/monitored_items.h"

// A reading request, the name `read`, `sim pin` and the JSON keys use for it, and the unit of its
// value in JSON (empty for the chip id and the fan drive, which are only register contents).
struct NamedReading {
    const char* name;
    uint32_t code;
    const char* unit;
};
// Every reading request, in the order `read` prints them.
std::span<const NamedReading> AllReadings();

// The board whose items are sampled, identified once.
struct WatchedBoard {
    uint32_t nAdapterId = 0;
    uint32_t nSubsystemId = 0;
    BoardKind kind = BoardKind::KindOther;
    FanState fan;
};
WatchedBoard IdentifyBoard();

struct ItemSample {
    MonitoredItem item;
    bool bRead = false;  // false: the request failed, there is no value
    uint32_t nRaw = 0;
    bool bSafe = false;
};

// One reading of every item of the board, in list order. False when the device stopped
// answering (the service went away); a failed request only leaves its item unread.
bool SampleBoard(const WatchedBoard& board, std::vector<ItemSample>* samples);

// A reading that feeds none of the board's items: the spare inputs, the chip id, the fan drive,
// and temperatures of sensors the board's monitor does not show. There is no rule to judge it by.
struct OtherSample {
    const NamedReading* reading = nullptr;
    bool bRead = false;
    uint32_t nRaw = 0;
};

// One reading of each of them, in the order `read` prints them. False as for SampleBoard.
bool SampleOtherReadings(const WatchedBoard& board, std::vector<OtherSample>* samples);

// The reading's name ("fan1", "temp3", ...), its unit ("RPM", "V", "°C") and its value in that
// unit ("4218", "1.600", "63"; empty when unread).
const char* ItemReadingName(MonitoredItem item);
const char* ItemUnit(MonitoredItem item);
std::string ItemValueText(const ItemSample& sample);

// {"fan1":{"name":"FAN Speed","raw":4218,"value":4218,"unit":"RPM","safe":true,
// "range":">3000  RPM"},...}; an unread item has null raw, value and safe. The other readings
// follow the items: "in6":{"raw":3312,"value":3.312,"unit":"V","safe":null} and
// "chip_id":{"raw":48,"safe":null}, with null raw and value when unread.
std::string ReadingsJson(const WatchedBoard& board, const std::vector<ItemSample>& samples,
                         const std::vector<OtherSample>& others = {});

// A JSON string literal, quotes included.
std::string JsonString(const std::string& text);
