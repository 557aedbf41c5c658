#include "tools/kestctl/readings.h"

#include <string.h>

#include "app/device/device_client.h"
#include "app/device/settings.h"
#include "protocol/ioctl.h"
#include "tools/kestctl/command_support.h"

namespace {

constexpr NamedReading kReadings[] = {
    {"fan1", IOCTL_READ_FAN1, "RPM"},    {"in1", IOCTL_READ_IN1, "V"},
    {"in7", IOCTL_READ_IN7, "V"},        {"in5", IOCTL_READ_IN5, "V"},
    {"in6", IOCTL_READ_IN6, "V"},        {"in8", IOCTL_READ_IN8, "V"},
    {"in2", IOCTL_READ_IN2, "V"},        {"temp1", IOCTL_READ_TEMP1, "°C"},
    {"temp2", IOCTL_READ_TEMP2, "°C"},   {"temp3", IOCTL_READ_TEMP3, "°C"},
    {"chip_id", IOCTL_READ_CHIP_ID, ""}, {"fan_drive", IOCTL_GET_FAN_DRIVE, ""},
};

// What a failed sensor transaction reads as; never a value.
constexpr uint32_t kFailedSensor = 0xFFFFFFFFu;

// Millivolts are shown as volts with three decimals, everything else as it is read.
std::string ValueText(const char* unit, uint32_t raw) {
    if (strcmp(unit, "V") == 0) {
        return Format("%u.%03u", raw / 1000, raw % 1000);
    }
    return Format("%u", raw);
}

// One reading request; false when the device stopped answering. A failed request or sensor
// transaction leaves *read false.
bool ReadOne(uint32_t code, bool* read, uint32_t* raw) {
    *read = false;
    switch (QueryDriverReadingOutcome(code, raw)) {
        case ReadingOutcome::kNoDevice:
            return false;
        case ReadingOutcome::kFailed:
            break;
        case ReadingOutcome::kValue:
            *read = *raw != kFailedSensor;
            break;
    }
    return true;
}

bool FeedsAnItem(BoardKind kind, uint32_t code) {
    for (MonitoredItem item : ItemListOrder(kind)) {
        if (ItemRequest(item) == code) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::span<const NamedReading> AllReadings() {
    return kReadings;
}

WatchedBoard IdentifyBoard() {
    WatchedBoard board;
    board.nAdapterId = QueryAdapterInfo(3);
    board.nSubsystemId = QueryAdapterInfo(7);
    board.kind = ClassifyBoard(board.nAdapterId, board.nSubsystemId);
    // The user's "Using 3rd Party Heatsink" choice makes the fan always safe, as in the program.
    // Whether the program has stopped the fan is its own state, unknown here.
    board.fan.nNoFan = static_cast<int>(ReadNoFanSetting());
    return board;
}

bool SampleBoard(const WatchedBoard& board, std::vector<ItemSample>* samples) {
    samples->clear();
    for (MonitoredItem item : ItemListOrder(board.kind)) {
        ItemSample s{item};
        uint32_t raw = 0;
        if (!ReadOne(ItemRequest(item), &s.bRead, &raw)) {
            return false;
        }
        if (s.bRead) {
            s.nRaw = raw;
            s.bSafe = IsItemSafe(item, board.kind, raw, board.fan);
        }
        samples->push_back(s);
    }
    return true;
}

bool SampleOtherReadings(const WatchedBoard& board, std::vector<OtherSample>* samples) {
    samples->clear();
    for (const NamedReading& r : kReadings) {
        if (FeedsAnItem(board.kind, r.code)) {
            continue;
        }
        OtherSample s{&r};
        uint32_t raw = 0;
        if (!ReadOne(r.code, &s.bRead, &raw)) {
            return false;
        }
        s.nRaw = s.bRead ? raw : 0;
        samples->push_back(s);
    }
    return true;
}

const char* ItemReadingName(MonitoredItem item) {
    const uint32_t code = ItemRequest(item);
    for (const NamedReading& r : kReadings) {
        if (r.code == code) {
            return r.name;
        }
    }
    return "";
}

const char* ItemUnit(MonitoredItem item) {
    // The unit the program's details dialog labels the item with ("UNIT:   V").
    std::string label = UnitLabel(item);
    if (label.back() == 'V') {
        return "V";
    }
    return label.back() == 'C' ? "°C" : "RPM";
}

std::string ItemValueText(const ItemSample& sample) {
    if (!sample.bRead) {
        return "";
    }
    return ValueText(ItemUnit(sample.item), sample.nRaw);
}

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            json += Format("\\u%04x", static_cast<unsigned>(c));
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string ReadingsJson(const WatchedBoard& board, const std::vector<ItemSample>& samples,
                         const std::vector<OtherSample>& others) {
    std::string json = "{";
    for (const ItemSample& s : samples) {
        if (json.size() > 1) {
            json += ",";
        }
        json += JsonString(ItemReadingName(s.item)) +
                ":{\"name\":" + JsonString(ItemListName(s.item)) + ",\"raw\":";
        json += s.bRead ? Format("%u", s.nRaw) : "null";
        json += ",\"value\":" + (s.bRead ? ItemValueText(s) : "null");
        json += ",\"unit\":" + JsonString(ItemUnit(s.item));
        json += ",\"safe\":";
        json += s.bRead ? (s.bSafe ? "true" : "false") : "null";
        json += ",\"range\":" + JsonString(SafeRangeText(s.item, board.kind)) + "}";
    }
    for (const OtherSample& o : others) {
        if (json.size() > 1) {
            json += ",";
        }
        const NamedReading& r = *o.reading;
        json += JsonString(r.name) + ":{\"raw\":" + (o.bRead ? Format("%u", o.nRaw) : "null");
        if (*r.unit != '\0') {
            json += ",\"value\":" + (o.bRead ? ValueText(r.unit, o.nRaw) : "null");
            json += ",\"unit\":" + JsonString(r.unit);
        }
        json += ",\"safe\":null}";
    }
    return json + "}";
}
