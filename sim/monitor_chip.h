// The banked hardware-monitor chip and the small devices behind it on the adapter's I2C bus.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "sim/i2c_device.h"

namespace sim {

using ViolationSink = std::function<void(const std::string&)>;

class MonitorChip : public I2cDevice {
public:
    static constexpr uint8_t kBankSelect = 0x4E;
    static constexpr uint8_t kConfig = 0x40;
    static constexpr uint8_t kFanDivisor = 0x47;
    static constexpr uint8_t kSubSensorAddresses = 0x4A;
    static constexpr uint8_t kChipId = 0x58;        // bank 0
    static constexpr uint8_t kFanDrive = 0x5B;      // bank 0
    static constexpr uint8_t kInputControl = 0x5D;  // bank 0
    static constexpr uint8_t kChipIdValue = 0x30;

    explicit MonitorChip(ViolationSink violation);

    bool SelectRegister(uint8_t reg) override;
    bool WriteSelected(uint8_t value) override;
    bool ReadSelected(uint8_t& value) override;

    // Power-on register values; also what setting 0x40 bit 7 does.
    void Reset();

    uint8_t Get(int bank, uint8_t reg) const;
    void Set(int bank, uint8_t reg, uint8_t value);

    int Bank() const { return m_low[kBankSelect] & 7; }
    bool Started() const { return (m_low[kConfig] & 0x01) != 0; }
    bool In8Enabled() const { return (Get(0, kInputControl) & 0x01) != 0; }
    int FanDivisor() const;  // 1 << code, code from 0x47 bits 5-4 and bank-0 0x5D bit 5
    uint8_t SubSensorAddress(int which) const;  // 8-bit write address

private:
    static bool IsReadOnly(int bank, uint8_t reg);

    ViolationSink m_violation;
    std::array<uint8_t, 0x50> m_low{};
    std::array<std::array<uint8_t, 16>, 8> m_banks{};
    uint8_t m_pointer = 0;
};

// A temperature sensor: 0 temperature (read-only), 1 configuration, 2 and 3 limits.
class SubSensor : public I2cDevice {
public:
    explicit SubSensor(ViolationSink violation);
    bool SelectRegister(uint8_t reg) override;
    bool WriteSelected(uint8_t value) override;
    bool ReadSelected(uint8_t& value) override;

    uint8_t Get(uint8_t reg) const { return reg < 4 ? m_regs[reg] : 0xFF; }
    void Set(uint8_t reg, uint8_t value);

private:
    ViolationSink m_violation;
    std::array<uint8_t, 4> m_regs{};
    uint8_t m_pointer = 0;
};

// The auxiliary device: four read-only identification registers.
class AuxDevice : public I2cDevice {
public:
    static constexpr std::array<uint8_t, 4> kRegisters = {0x41, 0x8C, 0x02, 0x55};

    explicit AuxDevice(ViolationSink violation) : m_violation(std::move(violation)) {}
    bool SelectRegister(uint8_t reg) override;
    bool WriteSelected(uint8_t value) override;
    bool ReadSelected(uint8_t& value) override;

private:
    ViolationSink m_violation;
    uint8_t m_pointer = 0;
};

}  // namespace sim
