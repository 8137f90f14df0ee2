#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "platform/ManualClock.h"
#include "platform/SystemClock.h"

namespace orven {
namespace {

LocalTime japanTime(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return LocalTime::fromTm(tm).addMinutes(9 * 60);
}

TEST(SystemClockTest, ReadsTheLocalWallClockNotUtc) {
    const char* oldZone = std::getenv("TZ");
    const std::string restore = oldZone ? oldZone : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    const std::time_t before = std::time(nullptr);
    const LocalTime now = SystemClock().now();
    const std::time_t after = std::time(nullptr);
    oldZone ? setenv("TZ", restore.c_str(), 1) : unsetenv("TZ");
    tzset();

    EXPECT_LE(japanTime(before), now);
    EXPECT_LT(now, japanTime(after + 1));
    EXPECT_EQ(now.dayOfWeek, LocalTime::dayOfWeekOf(now.year, now.month, now.day));
}

TEST(ManualClockTest, MovesOnlyWhenToldAndKeepsTheWeekdayRight) {
    const LocalTime start{2024, 12, 0, 31, 23, 0};  // weekday left wrong on purpose
    ManualClock clock(start);
    EXPECT_EQ(clock.now().dayOfWeek, 2);
    EXPECT_EQ(clock.now(), start);
    clock.advance(std::chrono::hours(1));
    EXPECT_EQ(clock.now(), LocalTime::make(2025, 1, 1));
    EXPECT_EQ(clock.now().dayOfWeek, 3);
}

}  // namespace
}  // namespace orven
