// The board's physical state between port accesses: fan speed lagging its drive, VPU and memory
// temperatures following heat and airflow with first-order lags. Advanced lazily from the clock.
#pragma once

#include <cstdint>

#include "sim/board_catalogue.h"

namespace sim {

struct PhysicsInputs {
    double engineMhz;
    double memoryMhz;
    int fanDrive;  // 0..255
    bool fanStalled;
    int ambientExtraC;
};

class Physics {
public:
    static constexpr double kAmbientC = 25.0;
    static constexpr double kFanLagS = 2.0;
    static constexpr double kVpuLagS = 20.0;
    static constexpr double kMemoryLagS = 30.0;

    explicit Physics(const BoardSpec& board) : m_board(board) {}

    // Settles everything at the inputs' steady state, as after a long time powered on.
    void Settle(uint64_t nowMs, const PhysicsInputs& in);
    void Advance(uint64_t nowMs, const PhysicsInputs& in);

    double FanRpm() const { return m_fanRpm; }
    double VpuC() const { return m_vpuC; }
    double MemoryC() const { return m_memoryC; }

    double FanTargetRpm(const PhysicsInputs& in) const;
    double VpuSteadyC(const PhysicsInputs& in, double fanRpm) const;
    double MemorySteadyC(const PhysicsInputs& in, double fanRpm) const;

private:
    void Step(double seconds, const PhysicsInputs& in);

    const BoardSpec& m_board;
    uint64_t m_lastMs = 0;
    double m_fanRpm = 0;
    double m_vpuC = kAmbientC;
    double m_memoryC = kAmbientC;
};

}  // namespace sim
