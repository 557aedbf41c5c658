#include "sim/physics.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Beyond this gap the state is simply at its steady state; stepping hours of time is pointless.
constexpr double kSettledAfterS = 600.0;
constexpr double kMaxStepS = 0.25;

double Approach(double value, double target, double seconds, double lag) {
    return target + (value - target) * std::exp(-seconds / lag);
}

}  // namespace

double Physics::FanTargetRpm(const PhysicsInputs& in) const {
    if (in.fanStalled || in.fanDrive <= 0) {
        return 0.0;
    }
    // A fan starts at about a third of its speed and gains the rest with the square root of the
    // drive, flattening out at the board's full-drive level.
    const double x = std::min(1.0, static_cast<double>(in.fanDrive) / m_board.fanFullDrive);
    return m_board.fanMaxRpm * (0.3 + 0.7 * std::sqrt(x));
}

namespace {

// Full airflow is the reference (factor 1); still air makes the rise 2.5 times larger.
double CoolingFactor(double fanRpm, int fanMaxRpm) {
    const double airflow = std::clamp(fanRpm / fanMaxRpm, 0.0, 1.0);
    return 2.5 - 1.5 * airflow;
}

// Heat grows with the clock; some of it (leakage) does not depend on it.
double HeatFactor(double mhz, int defaultMhz) {
    return 0.3 + 0.7 * std::max(0.0, mhz) / defaultMhz;
}

}  // namespace

double Physics::VpuSteadyC(const PhysicsInputs& in, double fanRpm) const {
    return kAmbientC + in.ambientExtraC +
           m_board.vpuRiseC * HeatFactor(in.engineMhz, m_board.defaultEngineMhz) *
               CoolingFactor(fanRpm, m_board.fanMaxRpm);
}

double Physics::MemorySteadyC(const PhysicsInputs& in, double fanRpm) const {
    return kAmbientC + in.ambientExtraC +
           m_board.memoryRiseC * HeatFactor(in.memoryMhz, m_board.defaultMemoryMhz) *
               CoolingFactor(fanRpm, m_board.fanMaxRpm);
}

void Physics::Settle(uint64_t nowMs, const PhysicsInputs& in) {
    m_lastMs = nowMs;
    m_fanRpm = FanTargetRpm(in);
    m_vpuC = VpuSteadyC(in, m_fanRpm);
    m_memoryC = MemorySteadyC(in, m_fanRpm);
}

void Physics::Advance(uint64_t nowMs, const PhysicsInputs& in) {
    if (nowMs <= m_lastMs) {
        if (in.fanStalled) {
            m_fanRpm = 0;  // a blocked rotor stops at once
        }
        return;
    }
    double seconds = static_cast<double>(nowMs - m_lastMs) / 1000.0;
    m_lastMs = nowMs;
    if (seconds >= kSettledAfterS) {
        Settle(nowMs, in);
        return;
    }
    while (seconds > 0) {
        const double step = std::min(seconds, kMaxStepS);
        Step(step, in);
        seconds -= step;
    }
}

void Physics::Step(double seconds, const PhysicsInputs& in) {
    m_fanRpm = in.fanStalled ? 0.0 : Approach(m_fanRpm, FanTargetRpm(in), seconds, kFanLagS);
    m_vpuC = Approach(m_vpuC, VpuSteadyC(in, m_fanRpm), seconds, kVpuLagS);
    m_memoryC = Approach(m_memoryC, MemorySteadyC(in, m_fanRpm), seconds, kMemoryLagS);
}

}  // namespace sim
