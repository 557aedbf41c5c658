#include "sim/clock.h"

#include <time.h>

#include <chrono>

namespace sim {

uint64_t SteppedClock::NowMs() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nowMs;
}

void SteppedClock::Advance(uint64_t ms) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nowMs += ms;
}

namespace {

uint64_t CoarseMs() {
#ifdef _WIN32
    // Windows has no coarse monotonic clock; the steady clock (performance counter) serves.
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
#else
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1000000;
#endif
}

}  // namespace

RealClock::RealClock() : m_originMs(CoarseMs()) {}

uint64_t RealClock::NowMs() const {
    return CoarseMs() - m_originMs;
}

}  // namespace sim
