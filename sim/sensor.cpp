#include "sim/sensor.h"

namespace sim {

const char* SensorName(Sensor sensor) {
    switch (sensor) {
        case Sensor::fan1:
            return "fan1";
        case Sensor::in1:
            return "in1";
        case Sensor::in2:
            return "in2";
        case Sensor::in5:
            return "in5";
        case Sensor::in6:
            return "in6";
        case Sensor::in7:
            return "in7";
        case Sensor::in8:
            return "in8";
        case Sensor::temp1:
            return "temp1";
        case Sensor::temp2:
            return "temp2";
        case Sensor::temp3:
            return "temp3";
    }
    return "?";
}

std::optional<Sensor> SensorFromName(std::string_view name) {
    for (Sensor sensor : kAllSensors) {
        if (name == SensorName(sensor)) {
            return sensor;
        }
    }
    return std::nullopt;
}

}  // namespace sim
