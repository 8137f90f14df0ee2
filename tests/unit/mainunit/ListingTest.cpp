#include "MainUnitFixture.h"

#include <algorithm>
#include <sstream>

#include "mainunit/Listing.h"

namespace orven::mainunit::test {
namespace {

// What the PC reads from one line of "NLST -l *.vmdat", by its fixed columns.
struct ClientReading {
    long size = -1;
    std::string month, day, year, name;
};

// The client's rules: drop every '.', '*' and LF; CR ends a line; skip empty lines and lines
// without "vmdat"/"vminf"; put the dot back; size from characters 25 to 33; the last 45
// characters are "Mon DD YYYY " and the 33-character name.
std::vector<ClientReading> readAsTheClientDoes(const std::string& listing) {
    std::string text;
    std::copy_if(listing.begin(), listing.end(), std::back_inserter(text),
                 [](char c) { return c != '.' && c != '*' && c != '\n'; });
    std::vector<ClientReading> readings;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line, '\r');) {
        for (const char* ext : {"vmdat", "vminf"}) {
            if (const auto at = line.find(ext); at != std::string::npos) {
                line.insert(at, ".");
            }
        }
        if (line.find(".vm") == std::string::npos || line.size() < 45) {
            continue;
        }
        const std::string tail = line.substr(line.size() - 45);
        readings.push_back({std::stol(line.substr(24, 9)), tail.substr(0, 3), tail.substr(4, 2),
                            tail.substr(7, 4), tail.substr(12)});
    }
    return readings;
}

TEST(ListingLineTest, SurvivesTheClientsFixedColumnReading) {
    Listing::Entry entry{"202401050930_FRI_0101_00001.vmdat", false, 1234567,
                         LocalTime::make(2024, 1, 5, 9, 30)};
    const std::string line = Listing::longLine(entry);
    EXPECT_EQ(
        line,
        "-rw-r--r--   1 main unit  1234567 Jan 05 2024 202401050930_FRI_0101_00001.vmdat\r\n");
    EXPECT_EQ(line.substr(0, 46).find_first_of(".*"), std::string::npos);  // nothing is dropped

    entry.size = 5'000'000'000;  // wider than the nine columns: shown as the largest that fits
    const auto reading = readAsTheClientDoes(Listing::longLine(entry));
    ASSERT_EQ(reading.size(), 1u);
    EXPECT_EQ(reading[0].size, 999999999);
    EXPECT_EQ(reading[0].name, entry.name);
}

TEST(ListingPaddingTest, BlankLinesPutTheLastLineAtTheGivenByte) {
    const std::string two = "ab\r\ncd\r\n";
    const struct {
        std::string listing;
        std::size_t at;
        std::string padded;
    } cases[] = {
        {two, 10, "\r\n\r\n\r\n" + two},
        {two, 9, "\n\r\n\r\n" + two},  // an odd gap
        {two, 4, two},                 // already there
        {two, 3, two},                 // past it
        {"cd\r\n", 3, "\n\r\ncd\r\n"},
        {"", 5, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Listing::padLastLineTo(c.listing, c.at), c.padded) << c.at;
    }
}

class ListingTest : public MainUnitTest {
  protected:
    void SetUp() override {
        addMessage(kBox, "202401050930_FRI_0101_00001", std::string(5000, 'x'));
        addMessage(kBox, "202312312359_SUN_0101_00002", "");
        writeFile(real(kBox) / "notes.txt", "n");
        logIn();
        client->command(std::string("CWD ") + kBox);
    }
};

TEST_F(ListingTest, LongListingOfVoiceFilesReadsBackAtTheClientsColumns) {
    const auto listing = client->retrieve("NLST -l *.vmdat");
    EXPECT_EQ(listing.first.code, 150);
    EXPECT_EQ(listing.last.code, 226);
    const auto readings = readAsTheClientDoes(listing.data);
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0].name, "202312312359_SUN_0101_00002.vmdat");
    EXPECT_EQ(readings[0].size, 260);
    EXPECT_EQ(readings[0].month + readings[0].day + readings[0].year, "Dec312023");
    EXPECT_EQ(readings[1].name, "202401050930_FRI_0101_00001.vmdat");
    EXPECT_EQ(readings[1].size, 5260);
    EXPECT_EQ(readings[1].month + readings[1].day + readings[1].year, "Jan052024");
}

TEST_F(ListingTest, NameListingsAndPatterns) {
    EXPECT_EQ(client->retrieve("NLST *.vminf").data,
              "202312312359_SUN_0101_00002.vminf\r\n202401050930_FRI_0101_00001.vminf\r\n");
    EXPECT_EQ(client->retrieve("NLST 2024????????_FRI_0101_0000?.vm*").data,
              "202401050930_FRI_0101_00001.vmdat\r\n202401050930_FRI_0101_00001.vminf\r\n");
    const std::string all = client->retrieve("NLST").data;
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 5);
    EXPECT_TRUE(all.ends_with("\r\nnotes.txt\r\n"));
    EXPECT_EQ(readAsTheClientDoes(client->retrieve("NLST -l").data).size(), 4u);
    EXPECT_EQ(client->retrieve("NLST /").data, "naisen\r\noutou\r\nrusuroku\r\n");
    EXPECT_EQ(client->retrieve("NLST -l /rusuroku").data.substr(0, 10), "drwxr-xr-x");
}

TEST_F(ListingTest, NothingMatchingIs550ExceptForLIST) {
    EXPECT_EQ(client->retrieve("NLST *.wav").first.code, 550);
    EXPECT_EQ(client->retrieve("NLST -l /naisen").first.code, 550);
    EXPECT_EQ(client->retrieve("NLST /naisen/0999").first.code, 550);
    const auto list = client->retrieve("LIST /naisen");
    EXPECT_EQ(list.last.code, 226);
    EXPECT_EQ(list.data, "");
}

}  // namespace
}  // namespace orven::mainunit::test
