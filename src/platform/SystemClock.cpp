#include "platform/SystemClock.h"

#include <ctime>

namespace orven {

LocalTime SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return LocalTime::fromTm(tm, static_cast<int>(ts.tv_nsec / 1000000));
}

}  // namespace orven
