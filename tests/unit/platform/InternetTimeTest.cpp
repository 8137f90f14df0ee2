#include "platform/InternetTime.h"

#include <string>

#include <gtest/gtest.h>

namespace orven {
namespace {

// The main unit pads with NUL bytes; tests write them as '_'.
std::string nul(std::string text) {
    for (char& c : text) {
        c = c == '_' ? '\0' : c;
    }
    return text;
}

TEST(InternetTimeTest, ReadsTheFieldsAsWritten) {
    const std::optional<LocalTime> t = InternetTime::parse("Sun, 06 Nov 1994 08:49 +0900");
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, LocalTime::make(1994, 11, 6, 8, 49));
    EXPECT_EQ(t->dayOfWeek, 0);
    EXPECT_EQ(InternetTime::parse("Tue, 29 Feb 2000 23:59:58 GMT"),
              LocalTime::make(2000, 2, 29, 23, 59, 58));
}

TEST(InternetTimeTest, AcceptsWhatTheWindowsParserAccepts) {
    for (const std::string& text : {
             nul("Sun,_06_Nov_1994_08:49_+0900"),
             nul("Sun,___06__Nov_1994_08:49_+0900______"),  // the whole 32-byte field
             nul("Sun, 06 Nov 1994 08:49 +090"),            // the first 27 bytes of it
             nul("06 Nov 1994 08:49"), nul("  sun ,\t6 NOV 1994 8:49:00 jst "),
             nul("Mon 06 nov 1994 08:49 -05"),  // weekday not checked
         }) {
        EXPECT_EQ(InternetTime::parse(text), LocalTime::make(1994, 11, 6, 8, 49)) << text;
    }
}

TEST(InternetTimeTest, RejectsWhatIsNotADate) {
    for (const std::string text : {
             "",
             "Sun, 31 Nov 1994 08:49",
             "Wed, 29 Feb 2023 08:49",
             "Sun, 00 Nov 1994 08:49",
             "Sun, 06 Nox 1994 08:49",
             "Sunday, 06 Nov 1994 08:49",
             "Sun, 06 Nov 1994 24:00",
             "Sun, 06 Nov 1994 08:60",
             "Sun, 06 Nov 1994 08:49:60",
             "Sun, 06 Nov 94 08:49",
             "Sun, 06 Nov 1600 08:49",
             "Sun, 06 Nov 1994",
             "Sun, 06 Nov 1994 0849",
             "Sun, 06 Nov 1994 08:",
             "Sun, 106 Nov 1994 08:49",
             "Sun06 Nov 1994 08:49",
             "Sun, 06, Nov 1994 08:49",
             "Sun, 06 Nov 1994 08:49+0900",
             "Sun, 06 Nov 1994 08:49 +09000",
             "Sun, 06 Nov 1994 08:49 GMTGMT",
             "Sun, 06 Nov 1994 08:49 +0900 x",
             "\x93\xfa, 06 Nov 1994 08:49",
         }) {
        EXPECT_EQ(InternetTime::parse(text), std::nullopt) << text;
    }
    EXPECT_EQ(InternetTime::parse(nul("____")), std::nullopt);
}

TEST(InternetTimeTest, ReadsOnlyTheView) {
    // The digit after the view would make the minute 491.
    const std::string text = "Sun, 06 Nov 1994 08:491";
    EXPECT_EQ(InternetTime::parse(std::string_view(text).substr(0, text.size() - 1)),
              LocalTime::make(1994, 11, 6, 8, 49));
    const std::string full = nul("Sun,_06_Nov_1994_08:49:37_+0900");
    for (std::size_t n = 0; n <= full.size(); ++n) {
        const std::optional<LocalTime> t = InternetTime::parse(std::string_view(full).substr(0, n));
        EXPECT_TRUE(!t || t->isValid()) << n;
    }
}

}  // namespace
}  // namespace orven
