#include <gtest/gtest.h>

#include "link/ListingLines.h"

namespace orven {
namespace {

using L = ListingLines;

// A line of "NLST -l *.vmdat" as the main unit sends it.
constexpr const char* kLongLine =
    "-rw-r--r--   1 main unit     8192 Jan 05 2024 202401050930_FRI_0101_00001.vmdat\r\n";

TEST(ListingLines, CutDropsDotsStarsAndLineFeedsAndTheUnendedTail) {
    const auto lines = L::Cut("a.vminf\r\nb*.vminf\r\n\r\n\r\nc.vminf");
    EXPECT_EQ(lines, (std::vector<std::string>{"avminf", "bvminf"}));
    EXPECT_EQ(L::Count("naisen\r\noutou\r\nrusuroku\r\n"), 3);
    EXPECT_EQ(L::Count("naisen\r\noutou\r\nrusuroku"), 2);
    EXPECT_EQ(L::Count(""), 0);
}

TEST(ListingLines, LongLineGivesSizeDateAndName) {
    const auto lines = L::Cut(kLongLine);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(L::SizeField(lines[0]), 8192);

    const std::string dotted = L::PutDotsBack(lines[0]);
    EXPECT_EQ(L::LastCharacters(dotted, L::kNameLength), "202401050930_FRI_0101_00001.vmdat");
    const std::string dateAndName = L::LastCharacters(dotted, L::kDateAndNameLength);
    EXPECT_EQ(dateAndName.substr(0, 12), "Jan 05 2024 ");
    EXPECT_EQ(L::MonthNumber(dateAndName.substr(0, 3)), 1);
}

TEST(ListingLines, ColumnsCountCharactersNotBytes) {
    const auto lines = L::Cut("-rw-r--r--   1 主装置A unit   123456 Feb 01 2024 x.vmdat\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(L::SizeField(lines[0]), 123456);
    EXPECT_EQ(L::LastCharacters("主装置", 2), "装置");
    EXPECT_EQ(L::LastCharacters("ab", 33), "ab");
}

TEST(ListingLines, NameWithoutItsDotMatchesACutLine) {
    const std::string name = "202401050930_FRI_0101_00001.vmdat";
    EXPECT_EQ(L::WithoutNameDot(name), "202401050930_FRI_0101_00001vmdat");
    EXPECT_NE(L::Cut(kLongLine)[0].find(L::WithoutNameDot(name)), std::string::npos);
    EXPECT_EQ(L::WithoutNameDot("short.vmdat"), "short.vmdat");
}

// Only a plain message name of the kind's length is ever asked for or taken for stored.
TEST(ListingLines, MessageNamesAreTakenOnlyWhenPlainAndOfTheirKindsLength) {
    struct Case {
        std::string line;  // as it arrives, before cutting
        bool response;
        std::string name;
    };
    const std::string head = "-rw-r--r--   1 main unit     4000 Jan 05 2024 ";
    const std::vector<Case> cases = {
        {head + "202401050930_FRI_0101_00001.vmdat", false, "202401050930_FRI_0101_00001.vmdat"},
        {"202401050930_FRI_0101_00001.vminf", false, "202401050930_FRI_0101_00001.vminf"},
        {head + "202401050930_FRI_A001_0001.vmdat", true, "202401050930_FRI_A001_0001.vmdat"},
        {head + "202401050930_FRI_A001_0001.vmdat", false, ""},    // too short for a box
        {head + "202401050930_FRI_0101_00001.vmdat", true, ""},    // too long for a response
        {head + "X202401050930_FRI_0101_00001.vmdat", false, ""},  // its tail must not pass
        {head + "202401050930_FRI_0101_0000/.vmdat", false, ""},
        {head + "2024010509\x01_FRI_0101_00001.vmdat", false, ""},
        {head + "202401050930_FRI_0101_00001.vmdax", false, ""},
        {"total 8", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<std::string> cut = L::Cut(c.line + "\r\n");
        ASSERT_EQ(cut.size(), 1u);
        EXPECT_EQ(L::MessageName(cut[0], c.response), c.name);
    }
}

TEST(ListingLines, SizeRoundsUpToWholeBlocksWithOneToSpare) {
    EXPECT_EQ(L::BlockRoundedSize(8192), 12288);
    EXPECT_EQ(L::BlockRoundedSize(8191), 8192);
    EXPECT_EQ(L::BlockRoundedSize(0), 4096);
}

TEST(ListingLines, MonthAndWeekdayTables) {
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(L::MonthNumber(L::MonthAbbreviation(month)), month);
    }
    EXPECT_EQ(L::MonthNumber("jan"), 12);  // anything unknown is December
    EXPECT_EQ(L::MonthAbbreviation(0), "");
    EXPECT_EQ(L::MonthAbbreviation(13), "");
    EXPECT_EQ(L::WeekdayAbbreviation(0, false), "Sun");
    EXPECT_EQ(L::WeekdayAbbreviation(5, true), "FRI");
    EXPECT_EQ(L::WeekdayAbbreviation(7, false), "");
}

}  // namespace
}  // namespace orven
