#include "platform/ManualClock.h"

namespace orven {

ManualClock::ManualClock(const LocalTime& start) {
    set(start);
}

LocalTime ManualClock::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

void ManualClock::set(const LocalTime& time) {
    const LocalTime normalised = LocalTime::fromWallMilliseconds(time.toWallMilliseconds());
    std::lock_guard lock(m_mutex);
    m_now = normalised;
}

void ManualClock::advance(std::chrono::milliseconds step) {
    std::lock_guard lock(m_mutex);
    m_now = m_now.addMilliseconds(step.count());
}

}  // namespace orven
