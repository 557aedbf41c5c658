// The banked hardware-monitor chip and the small devices behind it on the adapter's I2C bus.
//
// Beeper: sounds while bank-0 register 0x57 bit 7 is set and at least one reading whose beep
// enable is set (0x56: 0x02 IN1, 0x04 IN2, 0x10 TEMP1, 0x20 TEMP2, 0x40 fan 1, 0x80 fan 2; 0x57:
// 0x02 IN5, 0x04 IN6, 0x20 TEMP3; bank-4 0x53: 0x01 IN7, 0x02 IN8) is beyond its limit: voltages
// above limit A or below limit B, temperatures above their first limit, fan counts at or above
// their count limit (0x3B, 0x3C). Fan 2 is not connected, so its counter idles at 255 and alarms
// as soon as its beep is enabled: enabling every beep makes the beeper sound.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sim/i2c_device.h"
#include "sim/sensor.h"
#include "sim/trace.h"

namespace sim {

class SubSensor;

// What the chip's converters are given, in user units.
struct ChipInputs {
    int in1Mv, in2Mv, in5Mv, in6Mv, in7Mv, in8Mv;
    int temp1C;
    double fan1Rpm;
};

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

    // Voltage input n reads at 0x20 + n (IN7 and IN8: bank 5, 0x50 and 0x51); its limit A (high)
    // and B (low) follow as a pair from 0x2B + 2n (IN7 and IN8: bank 5, from 0x54).
    static constexpr int InputBank(int n) { return n < 7 ? 0 : 5; }
    static constexpr uint8_t InputRegister(int n) { return n < 7 ? 0x20 + n : 0x50 + (n - 7); }
    static constexpr uint8_t LimitA(int n) { return n < 7 ? 0x2B + 2 * n : 0x54 + 2 * (n - 7); }
    static constexpr uint8_t LimitB(int n) { return LimitA(n) + 1; }
    static constexpr uint8_t kTemp1 = 0x27;
    static constexpr uint8_t kFan1 = 0x28;
    static constexpr uint8_t kFan2 = 0x29;
    static constexpr uint8_t kTemp1Limit = 0x39;
    static constexpr uint8_t kFan1Limit = 0x3B;
    static constexpr uint8_t kFan2Limit = 0x3C;
    static constexpr uint8_t kBeepEnables1 = 0x56;  // bank 0
    static constexpr uint8_t kBeepEnables2 = 0x57;  // bank 0; bit 7 lets the beeper sound at all
    static constexpr uint8_t kBeepEnables3 = 0x53;  // bank 4
    static constexpr int kMillivoltsPerCount = 16;
    static constexpr int kFanCountScale = 1350000;

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

    // The converters' results go to the measurement registers only while monitoring runs.
    void Measure(const ChipInputs& in);
    // What the chip's own inputs report now, in user units (the sub-sensors report their own).
    int SensorValue(Sensor sensor) const;
    // Why the beeper sounds, e.g. "temp3 75 C above limit 70"; empty when it is off. TEMP2 and
    // TEMP3 come from the two sub-sensors.
    std::vector<std::string> BeeperCauses(const SubSensor& temp2, const SubSensor& temp3) const;

private:
    static bool IsReadOnly(int bank, uint8_t reg);
    uint8_t FanCount(double rpm) const;

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
    void Measure(int celsius);  // the converter's result, to the temperature register
    int Celsius() const { return static_cast<int8_t>(m_regs[0]); }

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
