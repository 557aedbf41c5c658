#include "sim/monitor_chip.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace sim {

namespace {

std::string RegisterName(int bank, uint8_t reg) {
    char text[32];
    if (reg >= 0x50) {
        std::snprintf(text, sizeof text, "bank-%d 0x%02x", bank, reg);
    } else {
        std::snprintf(text, sizeof text, "0x%02x", reg);
    }
    return text;
}

uint8_t ToRegister(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}
uint8_t ToSigned8(int value) {
    return static_cast<uint8_t>(static_cast<int8_t>(std::clamp(value, -128, 127)));
}

}  // namespace

MonitorChip::MonitorChip(ViolationSink violation) : m_violation(std::move(violation)) {
    Reset();
}

void MonitorChip::Reset() {
    m_low.fill(0);
    for (auto& bank : m_banks) {
        bank.fill(0);
    }
    m_low[kFan1] = 0xFF;  // no fan measured yet: slowest count
    m_low[kFan2] = 0xFF;
    // Voltage limit pairs wide open (A high 0xFF, B low 0x00), temperature limits at 127 °C,
    // fan count limits at the slowest count: nothing can alarm before limits are set.
    for (uint8_t reg = 0x2B; reg <= 0x38; reg += 2) {
        m_low[reg] = 0xFF;
    }
    m_low[kTemp1Limit] = 0x7F;
    m_low[0x3A] = 0x7F;
    m_low[kFan1Limit] = 0xFF;
    m_low[kFan2Limit] = 0xFF;
    m_low[kFanDivisor] = 0x50;  // fan 1 and fan 2 divisor code 1 (divide by 2)
    m_low[kSubSensorAddresses] = 0x01;
    m_low[0x4B] = 0x44;
    m_low[0x4D] = 0x15;
    m_low[kBankSelect] = 0x80;
    m_banks[0][0x52 - 0x50] = 0x01;
    m_banks[0][kBeepEnables2 - 0x50] = 0x80;
    m_banks[0][kChipId - 0x50] = kChipIdValue;
    m_banks[0][0x59 - 0x50] = 0x70;
    m_banks[0][kFanDrive - 0x50] = 0xFF;  // full fan until told otherwise
    m_banks[4][0x54 - 0x50] = 0x0F;
    m_banks[4][0x55 - 0x50] = 0x0F;
    m_banks[4][0x56 - 0x50] = 0x0F;
    m_banks[5][0x54 - 0x50] = 0xFF;
    m_banks[5][0x56 - 0x50] = 0xFF;
}

uint8_t MonitorChip::Get(int bank, uint8_t reg) const {
    if (reg < 0x50) {
        return m_low[reg];
    }
    if (reg < 0x60) {
        return m_banks[bank & 7][reg - 0x50];
    }
    return 0xFF;
}

void MonitorChip::Set(int bank, uint8_t reg, uint8_t value) {
    if (reg < 0x50) {
        m_low[reg] = value;
    } else if (reg < 0x60) {
        m_banks[bank & 7][reg - 0x50] = value;
    }
}

int MonitorChip::FanDivisor() const {
    const int code = ((m_low[kFanDivisor] >> 4) & 3) | (((Get(0, kInputControl) >> 5) & 1) << 2);
    return 1 << code;
}

uint8_t MonitorChip::SubSensorAddress(int which) const {
    const uint8_t r = m_low[kSubSensorAddresses];
    const uint8_t select = which == 0 ? (r & 7) : ((r >> 4) & 7);
    return static_cast<uint8_t>(0x90 | select << 1);
}

uint8_t MonitorChip::FanCount(double rpm) const {
    const double divisor = FanDivisor();
    if (rpm < 1.0) {
        return 255;
    }
    // The chip counts whole ticks of its reference per revolution.
    const double count = std::floor(kFanCountScale / (rpm * divisor));
    return static_cast<uint8_t>(std::clamp(count, 1.0, 255.0));
}

void MonitorChip::Measure(const ChipInputs& in) {
    if (!Started()) {
        return;
    }
    auto voltage = [this](int n, int millivolts) {
        Set(InputBank(n), InputRegister(n), ToRegister(millivolts / kMillivoltsPerCount));
    };
    voltage(1, in.in1Mv);
    voltage(2, in.in2Mv);
    voltage(5, in.in5Mv);
    voltage(6, in.in6Mv);
    Set(0, kTemp1, ToSigned8(in.temp1C));
    Set(0, kFan1, FanCount(in.fan1Rpm));
    voltage(7, in.in7Mv);
    Set(InputBank(8), InputRegister(8),
        In8Enabled() ? ToRegister(in.in8Mv / kMillivoltsPerCount) : 0);
}

int MonitorChip::SensorValue(Sensor sensor) const {
    auto millivolts = [this](int n) {
        return Get(InputBank(n), InputRegister(n)) * kMillivoltsPerCount;
    };
    switch (sensor) {
        case Sensor::fan1: {
            const int count = Get(0, kFan1);
            return count == 0 ? 0 : kFanCountScale / (count * FanDivisor());
        }
        case Sensor::in1:
            return millivolts(1);
        case Sensor::in2:
            return millivolts(2);
        case Sensor::in5:
            return millivolts(5);
        case Sensor::in6:
            return millivolts(6);
        case Sensor::in7:
            return millivolts(7);
        case Sensor::in8:
            return millivolts(8);
        case Sensor::temp1:
            return static_cast<int8_t>(Get(0, kTemp1));
        case Sensor::temp2:
        case Sensor::temp3:
            break;
    }
    return 0;
}

std::vector<std::string> MonitorChip::BeeperCauses(const SubSensor& temp2,
                                                   const SubSensor& temp3) const {
    std::vector<std::string> causes;
    if ((Get(0, kBeepEnables2) & 0x80) == 0) {
        return causes;
    }
    const uint8_t enable56 = Get(0, kBeepEnables1);
    const uint8_t enable57 = Get(0, kBeepEnables2);
    const uint8_t enable53 = Get(4, kBeepEnables3);
    auto voltage = [&](bool enabled, const char* name, int n) {
        if (!enabled) {
            return;
        }
        const int bank = InputBank(n);
        const int v = Get(bank, InputRegister(n));
        const int a = Get(bank, LimitA(n));
        const int b = Get(bank, LimitB(n));
        if (v > a) {
            causes.push_back(std::string(name) + " " + std::to_string(v * 16) + " mV above limit " +
                             std::to_string(a * 16));
        } else if (v < b) {
            causes.push_back(std::string(name) + " " + std::to_string(v * 16) + " mV below limit " +
                             std::to_string(b * 16));
        }
    };
    auto temperature = [&](bool enabled, const char* name, uint8_t value, uint8_t limit) {
        const int t = static_cast<int8_t>(value);
        const int l = static_cast<int8_t>(limit);
        if (enabled && t > l) {
            causes.push_back(std::string(name) + " " + std::to_string(t) + " C above limit " +
                             std::to_string(l));
        }
    };
    // A fan alarms at or above its count limit; an idle counter (255) always reaches it.
    auto fan = [&](bool enabled, const char* name, uint8_t countReg, uint8_t limitReg) {
        const int count = Get(0, countReg);
        const int limit = Get(0, limitReg);
        if (enabled && count >= limit) {
            causes.push_back(std::string(name) + " count " + std::to_string(count) +
                             " at or above limit " + std::to_string(limit));
        }
    };
    voltage(enable56 & 0x02, "in1", 1);
    voltage(enable56 & 0x04, "in2", 2);
    temperature(enable56 & 0x10, "temp1", Get(0, kTemp1), Get(0, kTemp1Limit));
    temperature(enable56 & 0x20, "temp2", temp2.Get(0), temp2.Get(2));
    fan(enable56 & 0x40, "fan1", kFan1, kFan1Limit);
    fan(enable56 & 0x80, "fan2", kFan2, kFan2Limit);
    voltage(enable57 & 0x02, "in5", 5);
    voltage(enable57 & 0x04, "in6", 6);
    temperature(enable57 & 0x20, "temp3", temp3.Get(0), temp3.Get(2));
    voltage(enable53 & 0x01, "in7", 7);
    voltage(enable53 & 0x02, "in8", 8);
    return causes;
}

bool MonitorChip::IsReadOnly(int bank, uint8_t reg) {
    if (reg >= 0x20 && reg <= 0x29) {
        return true;  // measurements
    }
    if (reg == kChipId && bank == 0) {
        return true;
    }
    return bank == 5 && reg >= 0x50 && reg <= 0x53;  // IN7, IN8 measurements
}

bool MonitorChip::SelectRegister(uint8_t reg) {
    if (reg >= 0x60) {
        return false;
    }
    m_pointer = reg;
    return true;
}

bool MonitorChip::WriteSelected(uint8_t value) {
    const int bank = Bank();
    if (m_pointer >= 0x50 && bank == 7) {
        m_violation("chip: write to " + RegisterName(bank, m_pointer) + ", bank 7 does not exist");
        return true;
    }
    if (IsReadOnly(bank, m_pointer)) {
        m_violation("chip: write to read-only register " + RegisterName(bank, m_pointer));
        return true;
    }
    if (m_pointer == kConfig && (value & 0x80)) {
        Reset();  // the reset bit clears itself along with everything else
        return true;
    }
    Set(bank, m_pointer, value);
    return true;
}

bool MonitorChip::ReadSelected(uint8_t& value) {
    const int bank = Bank();
    if (m_pointer >= 0x50 && bank == 7) {
        m_violation("chip: read of " + RegisterName(bank, m_pointer) + ", bank 7 does not exist");
        value = 0xFF;
        return true;
    }
    value = Get(bank, m_pointer);
    return true;
}

SubSensor::SubSensor(ViolationSink violation) : m_violation(std::move(violation)) {
    m_regs = {0, 0x00, 80, 75};
}

void SubSensor::Measure(int celsius) {
    m_regs[0] = ToSigned8(celsius);
}

void SubSensor::Set(uint8_t reg, uint8_t value) {
    if (reg < 4) {
        m_regs[reg] = value;
    }
}

bool SubSensor::SelectRegister(uint8_t reg) {
    if (reg >= 4) {
        return false;
    }
    m_pointer = reg;
    return true;
}

bool SubSensor::WriteSelected(uint8_t value) {
    if (m_pointer == 0) {
        m_violation("sub-sensor: write to its read-only temperature register");
        return true;
    }
    m_regs[m_pointer] = value;
    return true;
}

bool SubSensor::ReadSelected(uint8_t& value) {
    value = m_regs[m_pointer];
    return true;
}

bool AuxDevice::SelectRegister(uint8_t reg) {
    if (reg >= kRegisters.size()) {
        return false;
    }
    m_pointer = reg;
    return true;
}

bool AuxDevice::WriteSelected(uint8_t) {
    m_violation("aux: write to a read-only device");
    return true;
}

bool AuxDevice::ReadSelected(uint8_t& value) {
    value = kRegisters[m_pointer];
    return true;
}

}  // namespace sim
