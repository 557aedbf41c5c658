#include "sim/monitor_chip.h"

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

}  // namespace

MonitorChip::MonitorChip(ViolationSink violation) : m_violation(std::move(violation)) {
    Reset();
}

void MonitorChip::Reset() {
    m_low.fill(0);
    for (auto& bank : m_banks) {
        bank.fill(0);
    }
    m_low[0x28] = 0xFF;  // no fan measured yet: slowest count
    m_low[0x29] = 0xFF;
    // Voltage limit pairs wide open (A high 0xFF, B low 0x00), temperature limits at 127 °C,
    // fan count limits at the slowest count: nothing can alarm before limits are set.
    for (uint8_t reg = 0x2B; reg <= 0x38; reg += 2) {
        m_low[reg] = 0xFF;
    }
    m_low[0x39] = 0x7F;
    m_low[0x3A] = 0x7F;
    m_low[0x3B] = 0xFF;
    m_low[0x3C] = 0xFF;
    m_low[kFanDivisor] = 0x50;  // fan 1 and fan 2 divisor code 1 (divide by 2)
    m_low[kSubSensorAddresses] = 0x01;
    m_low[0x4B] = 0x44;
    m_low[0x4D] = 0x15;
    m_low[kBankSelect] = 0x80;
    m_banks[0][0x52 - 0x50] = 0x01;
    m_banks[0][0x57 - 0x50] = 0x80;
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
