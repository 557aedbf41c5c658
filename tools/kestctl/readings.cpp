#include "tools/kestctl/readings.h"

#include <string.h>

#include "app/device/device_client.h"
#include "app/device/settings.h"
#include "protocol/ioctl.h"
#include "tools/kestctl/command_support.h"

namespace {

constexpr NamedReading kReadings[] = {
    {"fan1", IOCTL_READ_FAN1},       {"in1", IOCTL_READ_IN1},
    {"in7", IOCTL_READ_IN7},         {"in5", IOCTL_READ_IN5},
    {"in6", IOCTL_READ_IN6},         {"in8", IOCTL_READ_IN8},
    {"in2", IOCTL_READ_IN2},         {"temp1", IOCTL_READ_TEMP1},
    {"temp2", IOCTL_READ_TEMP2},     {"temp3", IOCTL_READ_TEMP3},
    {"chip_id", IOCTL_READ_CHIP_ID}, {"fan_drive", IOCTL_GET_FAN_DRIVE},
};

// What a failed sensor transaction reads as; never a value.
constexpr uint32_t kFailedSensor = 0xFFFFFFFFu;

bool IsVoltage(MonitoredItem item) {
    return strcmp(ItemUnit(item), "V") == 0;
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
        switch (QueryDriverReadingOutcome(ItemRequest(item), &raw)) {
            case ReadingOutcome::kNoDevice:
                return false;
            case ReadingOutcome::kFailed:
                break;
            case ReadingOutcome::kValue:
                s.bRead = raw != kFailedSensor;
                break;
        }
        if (s.bRead) {
            s.nRaw = raw;
            s.bSafe = IsItemSafe(item, board.kind, raw, board.fan);
        }
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
    if (IsVoltage(sample.item)) {
        return Format("%u.%03u", sample.nRaw / 1000, sample.nRaw % 1000);
    }
    return Format("%u", sample.nRaw);
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

std::string ReadingsJson(const WatchedBoard& board, const std::vector<ItemSample>& samples) {
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
    return json + "}";
}
