// Time source of the simulated machine. The physics never reads the wall clock directly: the
// service runs it on real time, tests step it by hand so that nothing ever has to sleep.
#pragma once

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

// Monotonic real time, counted from construction. The machine reads its clock at every port
// access, so this is the kernel's coarse clock: a few milliseconds of resolution, which nothing
// on the board can tell apart, for a fraction of the precise clock's cost.
class RealClock : public Clock {
public:
    RealClock();
    uint64_t NowMs() const override;

private:
    uint64_t m_originMs;
};

}  // namespace sim
