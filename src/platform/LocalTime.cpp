#include "platform/LocalTime.h"

#include <cstdio>
#include <ostream>
#include <tuple>

namespace orven {

namespace {

constexpr std::int64_t kMsPerDay = 24LL * 60 * 60 * 1000;

// Division and remainder that round towards minus infinity, so times before 1970 and
// negative carries work like the others.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return a - floorDiv(a, b) * b;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

// 1970-01-01 was a Thursday.
int weekdayFromDays(std::int64_t days) {
    return static_cast<int>(floorMod(days + 4, 7));
}

auto key(const LocalTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
}

}  // namespace

LocalTime LocalTime::make(int year, int month, int day, int hour, int minute, int second,
                          int milliseconds) {
    const LocalTime raw{year, month, 0, day, hour, minute, second, milliseconds};
    return fromWallMilliseconds(raw.toWallMilliseconds());
}

LocalTime LocalTime::fromTm(const std::tm& tm, int milliseconds) {
    return make(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                milliseconds);
}

bool LocalTime::isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int LocalTime::daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return kDays[month - 1] + (month == 2 && isLeapYear(year));
}

int LocalTime::dayOfWeekOf(int year, int month, int day) {
    return make(year, month, day).dayOfWeek;
}

bool LocalTime::isValid() const {
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month) && hour >= 0 &&
           hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59 &&
           milliseconds >= 0 && milliseconds <= 999;
}

LocalTime LocalTime::addDays(std::int64_t days) const {
    return addMilliseconds(days * kMsPerDay);
}

LocalTime LocalTime::addMinutes(std::int64_t minutes) const {
    return addMilliseconds(minutes * 60 * 1000);
}

LocalTime LocalTime::addMilliseconds(std::int64_t ms) const {
    return fromWallMilliseconds(toWallMilliseconds() + ms);
}

std::int64_t LocalTime::toWallMilliseconds() const {
    // Carry a month outside 1 to 12 into the year first; days, hours and the rest carry by
    // plain addition below.
    const std::int64_t y = year + floorDiv(month - 1, 12);
    const int m = static_cast<int>(floorMod(month - 1, 12)) + 1;
    const std::int64_t days = daysFromCivil(y, m, 1) + day - 1;
    const std::int64_t seconds = ((days * 24 + hour) * 60 + minute) * 60 + second;
    return seconds * 1000 + milliseconds;
}

LocalTime LocalTime::fromWallMilliseconds(std::int64_t wallMs) {
    const std::int64_t days = floorDiv(wallMs, kMsPerDay);
    const std::int64_t msOfDay = floorMod(wallMs, kMsPerDay);
    const Civil c = civilFromDays(days);
    LocalTime t;
    t.year = static_cast<int>(c.year);
    t.month = c.month;
    t.dayOfWeek = weekdayFromDays(days);
    t.day = c.day;
    t.hour = static_cast<int>(msOfDay / 3600000);
    t.minute = static_cast<int>(msOfDay / 60000 % 60);
    t.second = static_cast<int>(msOfDay / 1000 % 60);
    t.milliseconds = static_cast<int>(msOfDay % 1000);
    return t;
}

std::strong_ordering operator<=>(const LocalTime& a, const LocalTime& b) {
    return key(a) <=> key(b);
}

bool operator==(const LocalTime& a, const LocalTime& b) {
    return key(a) == key(b);
}

std::ostream& operator<<(std::ostream& out, const LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d (%d)", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.milliseconds, t.dayOfWeek);
    return out << text;
}

}  // namespace orven
