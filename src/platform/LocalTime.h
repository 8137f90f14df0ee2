#pragma once

#include <compare>
#include <cstdint>
#include <ctime>
#include <iosfwd>

namespace orven {

// A calendar time on the PC's wall clock, laid out like the Windows SYSTEMTIME the stored
// formats and schedules were designed around. It carries no zone: it is whatever the local
// clock (or the main unit) says.
struct LocalTime {
    int year = 1970;
    int month = 1;      // 1 to 12
    int dayOfWeek = 4;  // 0 = Sunday; make() and the arithmetic set it from the date
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;

    // Fields out of range are carried over as mktime does (month 13 is January of the next
    // year, minute -1 the last minute of the hour before); the weekday is computed.
    static LocalTime make(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0, int milliseconds = 0);
    static LocalTime fromTm(const std::tm& tm, int milliseconds = 0);

    static bool isLeapYear(int year);
    // 0 for a month outside 1 to 12.
    static int daysInMonth(int year, int month);
    static int dayOfWeekOf(int year, int month, int day);

    // True when every field is in range for its calendar position (the weekday is not checked).
    bool isValid() const;

    [[nodiscard]] LocalTime addDays(std::int64_t days) const;
    [[nodiscard]] LocalTime addMinutes(std::int64_t minutes) const;
    [[nodiscard]] LocalTime addMilliseconds(std::int64_t milliseconds) const;

    // Milliseconds since 1970-01-01 00:00 of the same wall clock; the inverse of the above.
    std::int64_t toWallMilliseconds() const;
    static LocalTime fromWallMilliseconds(std::int64_t wallMilliseconds);
};

// Order by the date and time; the weekday follows from them and takes no part.
std::strong_ordering operator<=>(const LocalTime& a, const LocalTime& b);
bool operator==(const LocalTime& a, const LocalTime& b);

// "2024-02-29 13:05:09.007 (4)", for logs and test failures.
std::ostream& operator<<(std::ostream& out, const LocalTime& t);

}  // namespace orven
