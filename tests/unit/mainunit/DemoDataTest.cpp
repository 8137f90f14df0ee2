#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "mainunit/DemoData.h"
#include "mainunit/DemoSamples.h"
#include "platform/CodePage.h"
#include "store/HeaderBlock.h"
#include "store/VoiceData.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;

// The main unit's acceptance rule for AAC data, written out from its description so that it
// checks the clips independently of any implementation: first ADTS header without CRC,
// AAC-LC, 8000 Hz, one channel; frames counted as FF-b1 byte pairs; at most 600.06 s and
// 48 000 bit/s on average. Returns the frame count, or -1 when refused.
int acceptedFrames(std::string_view aac) {
    const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(aac[i]); };
    if (aac.size() < 4 || b(0) != 0xFF || (b(1) & 0xF1) != 0xF1 || !(b(2) & 0x40) ||
        (b(2) & 0x01) || (b(2) & 0x2C) != 0x2C || (b(3) & 0xC0) != 0x40) {
        return -1;
    }
    int frames = 0;
    for (std::size_t i = 0; i + 1 < aac.size(); ++i) {
        if (b(i) == 0xFF && b(i + 1) == b(1)) {
            ++frames;
            ++i;
        }
    }
    const double seconds = frames * 0.128;
    return frames == 0 || seconds > 600.06 || aac.size() * 8 / seconds > 48000 ? -1 : frames;
}

// Every file under the root, or only those with the extension.
std::vector<fs::path> filesUnder(const fs::path& root, const std::string& extension = "") {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() &&
            (extension.empty() || entry.path().extension() == extension)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool isResponse(const fs::path& file) {
    return file.parent_path().filename() == "outou";
}

LocalTime stemTime(const std::string& stem) {
    const auto n = [&](std::size_t at, std::size_t len) { return std::stoi(stem.substr(at, len)); };
    return LocalTime::make(n(0, 4), n(4, 2), n(6, 2), n(8, 2), n(10, 2));
}

const LocalTime kNow = LocalTime::make(2024, 3, 15, 10, 0);

TEST(DemoSamplesTest, EveryClipIsShortAndAcceptedByTheMainUnit) {
    std::size_t total = 0;
    for (const DemoSamples::Sample& sample : DemoSamples::all()) {
        SCOPED_TRACE(std::string(sample.name));
        EXPECT_EQ(sample.aac.substr(0, 3), "\xFF\xF1\x6C");           // no CRC, LC, 8000 Hz
        EXPECT_EQ(static_cast<std::uint8_t>(sample.aac[3]) >> 6, 1);  // one channel
        const double seconds = acceptedFrames(sample.aac) * 0.128;
        EXPECT_GE(seconds, 2.0);
        EXPECT_LE(seconds, 8.0);
        EXPECT_DOUBLE_EQ(VoiceData::aacDuration(sample.aac), seconds);
        total += sample.aac.size();
    }
    EXPECT_GE(DemoSamples::all().size(), 3u);
    EXPECT_LT(total, 200u * 1024);

    std::string stereo(DemoSamples::all().front().aac);
    stereo[3] = static_cast<char>((stereo[3] & 0x3F) | 0x80);
    EXPECT_EQ(acceptedFrames(stereo), -1) << "the rule check must be able to refuse";
}

// Seeding writes every file durably, which takes a while: the tests that only read the
// result share one seeded root.
class SeededRootTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<test::TempDir>();
        s_made = DemoData::seed(root(), kNow);  // the root is missing: seeding makes it
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    void SetUp() override { ASSERT_GT(s_made, 10); }
    static fs::path root() { return *s_dir / "mainunit"; }

    static inline std::unique_ptr<test::TempDir> s_dir;
    static inline int s_made = 0;
};

TEST_F(SeededRootTest, BoxesHoldMessagePairsNamedByDateWeekdayBoxAndUniqueNumber) {
    const std::vector<fs::path> infos = filesUnder(root(), ".vminf");
    EXPECT_EQ(infos.size(), static_cast<std::size_t>(s_made));
    EXPECT_EQ(filesUnder(root()).size(), 2 * infos.size()) << "nothing but message pairs";
    static const char* kDays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    const std::regex boxStem(R"(\d{12}_([A-Z]{3})_(\w{4})_(\d{5}))");
    const std::regex responseStem(R"(\d{12}_([A-Z]{3})_A(\d{3})_\d{4})");
    std::map<fs::path, std::set<std::string>> numbersPerBox;
    std::set<std::string> months, responses;
    for (const fs::path& info : infos) {
        const std::string stem = info.stem().string();
        std::smatch m;
        ASSERT_TRUE(std::regex_match(stem, m, isResponse(info) ? responseStem : boxStem)) << stem;
        EXPECT_TRUE(fs::exists(fs::path(info).replace_extension(".vmdat"))) << stem;
        const LocalTime when = stemTime(stem);
        EXPECT_EQ(m[1], kDays[when.dayOfWeek]) << stem;
        EXPECT_LT(when, kNow);
        EXPECT_GT(when, LocalTime::make(kNow.year - 1, kNow.month, kNow.day));
        months.insert(stem.substr(0, 6));
        if (isResponse(info)) {
            responses.insert(m[2].str());
            continue;
        }
        const std::string box = info.parent_path().filename().string();
        EXPECT_EQ(m[2], std::string(4 - box.size(), '0') + box) << stem;
        EXPECT_TRUE(numbersPerBox[info.parent_path()].insert(m[3].str()).second) << stem;
    }
    std::map<std::string, int> boxesPerKind;
    for (const auto& [box, numbers] : numbersPerBox) {
        ++boxesPerKind[box.parent_path().filename().string()];
    }
    EXPECT_EQ(boxesPerKind, (std::map<std::string, int>{{"naisen", 3}, {"rusuroku", 3}}));
    EXPECT_GE(months.size(), 4u) << "spread over several months";
    EXPECT_EQ(responses, (std::set<std::string>{"001", "002", "007"}));
}

TEST_F(SeededRootTest, HeaderBlocksDescribeTheirMessageAndItsVoiceData) {
    std::set<std::string> callers;
    std::map<int, int> flagCounts;
    for (const fs::path& info : filesUnder(root(), ".vminf")) {
        const std::string stem = info.stem().string();
        SCOPED_TRACE(stem);
        const std::string header = readFile(info);
        ASSERT_EQ(header.size(), HeaderBlock::kSize);
        const HeaderBlock block(header);
        EXPECT_TRUE(block.hasSignature());
        EXPECT_EQ(block.fileName(), stem + ".vmdat");
        EXPECT_EQ(header.substr(HeaderBlock::kDateAt, HeaderBlock::kDateSize),
                  HeaderBlock::dateField(stemTime(stem)));

        const std::string data = readFile(fs::path(info).replace_extension(".vmdat"));
        ASSERT_GE(data.size(), 260u);
        EXPECT_EQ(data.substr(0, 256), header);
        EXPECT_EQ(data.size(), 260u + HeaderBlock::readBigEndian32(data.substr(256, 4)));
        const int frames = acceptedFrames(data.substr(260));
        ASSERT_GT(frames, 0);
        EXPECT_EQ(block.lengthTenths(), static_cast<std::uint32_t>(frames) * 128 / 100);

        const std::string boxText = block.field(HeaderBlock::kBoxNumberAt, 4);
        if (isResponse(info)) {
            EXPECT_EQ(boxText, stem.substr(18, 3));
            EXPECT_EQ(block.responseNumber(), std::stoi(stem.substr(18, 3)));
            continue;
        }
        EXPECT_EQ(boxText, stem.substr(17, 4));
        const std::string name = block.field(HeaderBlock::kCallerNameAt, 32);
        callers.insert(CodePage::cp932ToUtf8(name));
        EXPECT_EQ(CodePage::utf8ToCp932(CodePage::cp932ToUtf8(name)), name) << "not CP932";
        ++flagCounts[block.flags()];
    }
    for (const char* expected : {"山田商事", "ｶﾌﾞｼｷｶﾞｲｼｬ ﾐﾄﾞﾘ", "佐藤 花子"}) {
        EXPECT_TRUE(callers.count(expected)) << expected;
    }
    // Bit 0 played, bit 1 protected: every combination occurs, and no other bit.
    EXPECT_EQ(flagCounts.size(), 4u);
    EXPECT_EQ(flagCounts.rbegin()->first, 3);
}

class DemoDataTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    const fs::path root = dir / "mainunit";
};

TEST_F(DemoDataTest, SeedRefusesARootThatHoldsAnything) {
    fs::create_directories(root);
    std::ofstream(root / "notes.txt") << "keep me";
    EXPECT_EQ(DemoData::seed(root, kNow), -1);
    EXPECT_EQ(filesUnder(root), std::vector<fs::path>{root / "notes.txt"});

    std::ofstream(dir / "plain-file") << "x";
    EXPECT_EQ(DemoData::seed(dir / "plain-file", kNow), -1);
}

TEST_F(DemoDataTest, AddMessageAddsOneUnplayedMessageToEachBoxInTurn) {
    EXPECT_FALSE(DemoData::addMessage(root, kNow)) << "no boxes yet";
    ASSERT_GT(DemoData::seed(root, kNow), 0);
    const LocalTime later = LocalTime::make(2024, 3, 15, 10, 12, 59);
    std::set<fs::path> boxesUsed;
    for (int round = 0; round < 6; ++round) {
        const std::vector<fs::path> before = filesUnder(root);
        ASSERT_TRUE(DemoData::addMessage(root, later));
        std::vector<fs::path> added;
        const std::vector<fs::path> after = filesUnder(root);
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                            std::back_inserter(added));
        ASSERT_EQ(added.size(), 2u) << "one .vmdat and one .vminf";
        const fs::path info = fs::path(added[0]).replace_extension(".vminf");
        const std::string stem = info.stem().string();
        EXPECT_EQ(stem.substr(0, 16), "202403151012_FRI");
        EXPECT_EQ(HeaderBlock(readFile(info)).flags(), 0);
        // Seeded boxes are numbered 1, 2, ... so the next number is the box's message count.
        EXPECT_EQ(std::stoul(stem.substr(22)), filesUnder(info.parent_path(), ".vminf").size());
        boxesUsed.insert(info.parent_path());
    }
    EXPECT_EQ(boxesUsed.size(), 6u) << "every box in turn";
}

}  // namespace
}  // namespace orven
