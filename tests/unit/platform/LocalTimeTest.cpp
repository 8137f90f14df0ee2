#include "platform/LocalTime.h"

#include <ctime>

#include <gtest/gtest.h>

namespace orven {
namespace {

TEST(LocalTimeTest, AgreesWithTheCLibraryFrom1901To2099) {
    // Steps that land on every day of the month, every weekday and every leap day.
    for (std::time_t t = -2177452800; t < 4102444800; t += 3 * 86400 + 3661) {
        std::tm tm{};
        gmtime_r(&t, &tm);
        const LocalTime actual = LocalTime::fromWallMilliseconds(t * 1000LL);
        ASSERT_EQ(actual, LocalTime::fromTm(tm));
        ASSERT_EQ(actual.dayOfWeek, tm.tm_wday) << actual;
        ASSERT_EQ(actual.toWallMilliseconds(), t * 1000LL) << actual;
    }
}

TEST(LocalTimeTest, AddingAndOutOfRangeFieldsCarryAcrossMonthsAndYears) {
    EXPECT_EQ(LocalTime::make(2024, 2, 28).addDays(1), LocalTime::make(2024, 2, 29));
    EXPECT_EQ(LocalTime::make(1900, 2, 28).addDays(1), LocalTime::make(1900, 3, 1));
    EXPECT_EQ(LocalTime::make(2024, 3, 31).addDays(-31), LocalTime::make(2024, 2, 29));
    const LocalTime newYear = LocalTime::make(2024, 12, 31, 23, 59, 30, 250).addMinutes(1);
    EXPECT_EQ(newYear, LocalTime::make(2025, 1, 1, 0, 0, 30, 250));
    EXPECT_EQ(newYear.dayOfWeek, 3);
    EXPECT_EQ(newYear.addMilliseconds(-30251), LocalTime::make(2024, 12, 31, 23, 59, 59, 999));

    EXPECT_EQ(LocalTime::make(2024, 13, 1), LocalTime::make(2025, 1, 1));
    EXPECT_EQ(LocalTime::make(2024, 0, 1), LocalTime::make(2023, 12, 1));
    EXPECT_EQ(LocalTime::make(2024, 3, 0), LocalTime::make(2024, 2, 29));
    EXPECT_EQ(LocalTime::make(2024, 1, 1, -1), LocalTime::make(2023, 12, 31, 23));
}

TEST(LocalTimeTest, OrdersByDateAndTimeOnly) {
    const LocalTime a = LocalTime::make(2024, 5, 6, 7, 8, 9, 10);
    LocalTime b = a;
    b.dayOfWeek = (a.dayOfWeek + 1) % 7;
    EXPECT_EQ(a, b);
    EXPECT_LT(a, a.addMilliseconds(1));
    EXPECT_LT(LocalTime::make(2023, 12, 31, 23, 59), LocalTime::make(2024, 1, 1));
    EXPECT_GT(LocalTime::make(2024, 2, 1), LocalTime::make(2024, 1, 31, 23, 59, 59, 999));
}

TEST(LocalTimeTest, ValidityFollowsTheCalendar) {
    EXPECT_TRUE((LocalTime{2000, 2, 0, 29, 23, 59, 59, 999}.isValid()));
    EXPECT_FALSE((LocalTime{1900, 2, 0, 29}.isValid()));
    EXPECT_FALSE((LocalTime{2024, 4, 0, 31}.isValid()));
    EXPECT_FALSE((LocalTime{2024, 13, 0, 1}.isValid()));
    EXPECT_FALSE((LocalTime{2024, 1, 0, 1, 24}.isValid()));
}

}  // namespace
}  // namespace orven
