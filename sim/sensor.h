// The monitor chip's measured inputs, named as the command-line tools and fault injection name
// them. Units: fan1 in RPM, in* in millivolts, temp* in whole degrees Celsius.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace sim {

enum class Sensor { fan1, in1, in2, in5, in6, in7, in8, temp1, temp2, temp3 };

inline constexpr std::array<Sensor, 10> kAllSensors = {
    Sensor::fan1, Sensor::in1, Sensor::in2,   Sensor::in5,   Sensor::in6,
    Sensor::in7,  Sensor::in8, Sensor::temp1, Sensor::temp2, Sensor::temp3};

// "fan1", "in1", ... exactly as the enumerators are spelt.
const char* SensorName(Sensor sensor);
std::optional<Sensor> SensorFromName(std::string_view name);

}  // namespace sim
