#include "sim/clock.h"

namespace sim {

uint64_t SteppedClock::NowMs() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nowMs;
}

void SteppedClock::Advance(uint64_t ms) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nowMs += ms;
}

uint64_t RealClock::NowMs() const {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - m_origin)
                                     .count());
}

}  // namespace sim
