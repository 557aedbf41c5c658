#include "host/sim_control.h"

#include <errno.h>
#include <stdlib.h>

#include <sstream>
#include <vector>

#include "sim/machine.h"
#include "sim/sensor.h"

namespace host {

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string w;
    while (in >> w) {
        words.push_back(w);
    }
    return words;
}

bool ParseInt(const std::string& text, int* value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long v = strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -1000000 || v > 1000000) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

std::string SensorList() {
    std::string list;
    for (sim::Sensor s : sim::kAllSensors) {
        list += list.empty() ? "" : " ";
        list += sim::SensorName(s);
    }
    return list;
}

// Matches "WORD on|off"-style switches.
bool Switch(const std::vector<std::string>& w, const char* a, const char* b, bool* isA) {
    if (w.size() != 2) {
        return false;
    }
    if (w[1] == a) {
        *isA = true;
        return true;
    }
    if (w[1] == b) {
        *isA = false;
        return true;
    }
    return false;
}

}  // namespace

std::string RunSimCommand(sim::Machine& machine, const std::string& line) {
    std::vector<std::string> w = Words(line);
    if (w.empty()) {
        return "error: empty command\n";
    }
    const std::string& verb = w[0];
    bool first = false;
    if (verb == "chip") {
        if (!Switch(w, "absent", "present", &first)) {
            return "error: usage: chip absent|present\n";
        }
        machine.SetChipPresent(!first);
        return "ok\n";
    }
    if (verb == "fan") {
        if (!Switch(w, "stall", "run", &first)) {
            return "error: usage: fan stall|run\n";
        }
        machine.SetFanStalled(first);
        return "ok\n";
    }
    if (verb == "adapter") {
        if (!Switch(w, "remove", "insert", &first)) {
            return "error: usage: adapter remove|insert\n";
        }
        machine.SetAdapterRemoved(first);
        return "ok\n";
    }
    if (verb == "iobar") {
        if (!Switch(w, "missing", "present", &first)) {
            return "error: usage: iobar missing|present\n";
        }
        machine.SetIoBarAllOnes(first);
        return "ok\n";
    }
    if (verb == "engine") {
        if (!Switch(w, "stuck", "free", &first)) {
            return "error: usage: engine stuck|free\n";
        }
        machine.SetEngineStuckBusy(first);
        return "ok\n";
    }
    if (verb == "ambient") {
        int degrees = 0;
        if (w.size() != 2 || !ParseInt(w[1], &degrees)) {
            return "error: usage: ambient DEGREES\n";
        }
        machine.SetAmbientHeat(degrees);
        return "ok\n";
    }
    if (verb == "pin" || verb == "unpin") {
        size_t wanted = verb == "pin" ? 3 : 2;
        if (w.size() != wanted) {
            return verb == "pin" ? "error: usage: pin SENSOR VALUE\n"
                                 : "error: usage: unpin SENSOR\n";
        }
        std::optional<sim::Sensor> sensor = sim::SensorFromName(w[1]);
        if (!sensor) {
            return "error: unknown sensor '" + w[1] + "' (one of " + SensorList() + ")\n";
        }
        if (verb == "unpin") {
            machine.UnpinSensor(*sensor);
            return "ok\n";
        }
        int value = 0;
        if (!ParseInt(w[2], &value) || value < 0) {
            return "error: '" + w[2] + "' is not a whole non-negative number\n";
        }
        machine.PinSensor(*sensor, value);
        return "ok\n";
    }
    if (verb == "state") {
        if (w.size() != 1) {
            return "error: usage: state\n";
        }
        std::string out;
        for (const auto& [key, value] : machine.StateLines()) {
            out += key + "=" + value + "\n";
        }
        return out;
    }
    return "error: unknown command '" + verb + "'\n";
}

}  // namespace host
