// Time source of the simulated machine. The physics never reads the wall clock directly: the
// service runs it on real time, tests step it by hand so that nothing ever has to sleep.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace sim {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary origin; never goes backwards.
    virtual uint64_t NowMs() const = 0;
};

// A clock that only moves when told to. Safe to advance from one thread while the machine reads it
// from another.
class SteppedClock : public Clock {
public:
    explicit SteppedClock(uint64_t startMs = 0) : m_nowMs(startMs) {}
    uint64_t NowMs() const override;
    void Advance(uint64_t ms);

private:
    mutable std::mutex m_mutex;
    uint64_t m_nowMs;
};

// Monotonic real time, counted from construction.
class RealClock : public Clock {
public:
    RealClock() : m_origin(std::chrono::steady_clock::now()) {}
    uint64_t NowMs() const override;

private:
    std::chrono::steady_clock::time_point m_origin;
};

}  // namespace sim
