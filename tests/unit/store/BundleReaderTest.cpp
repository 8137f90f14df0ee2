#include "store/BundleReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kFirst = "202401050930_FRI_0101_00001";
const std::string kSecond = "202401050931_FRI_0101_00002";
const std::string kThird = "202401050932_FRI_0101_00003";

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string head(std::uint32_t count) {
    return be32(count) + std::string(12, '\0');
}

// A header block as the main unit sends it: name at 0, signature at 64, date at 96.
std::string block(const std::string& name) {
    std::string bytes(256, '\0');
    bytes.replace(0, name.size(), name);
    bytes.replace(64, 16, "Zu-KA Voice-data");
    bytes.replace(96, 28, "Fri, 05 Jan 2024 09:30 +0900");
    bytes.replace(194, 4, be32(123));
    return bytes;
}

std::string info(const std::string& stem) {
    return block(stem + ".vmdat");
}
std::string voice(const std::string& stem, const std::string& data) {
    return block(stem + ".vmdat") + be32(data.size()) + data;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Names filesIn(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Sets the cancel flag at the given pump: the reader pumps once per entry and per piece.
class CancellingUi : public test::ScriptedUi {
  public:
    CancellingUi(std::atomic<int>& flag, int atPump) : m_flag(flag), m_atPump(atPump) {}
    void pump() override {
        if (++m_pumps == m_atPump) {
            m_flag = 1;
        }
    }

  private:
    std::atomic<int>& m_flag;
    int m_atPump;
    int m_pumps = 0;
};

class BundleReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dest);
        context.fileSystem = &fileSystem;
        context.cancelFlag = &cancel;
    }

    int unpack(const std::string& bytes, Names* names, bool voice, bool replace = false,
               const DestinationMap* map = nullptr) {
        std::ofstream(bundle, std::ios::binary) << bytes;
        return BundleReader(context).UnpackBundle(dest, bundle, names, voice, replace, map);
    }

    test::TempDir tmp;
    fs::path dest = tmp / "store" / "rusuroku" / "0101";
    fs::path bundle = tmp / "bundle";
    test::FakeFileSystem fileSystem;
    std::atomic<int> cancel{0};
    StoreContext context;
    std::string voice1 = std::string(5000, 'a') + "end";  // three pieces
    std::string voice2 = "second voice";
};

TEST_F(BundleReaderTest, EmptyOrMissingBundleStoresNothing) {
    Names names;
    EXPECT_EQ(unpack(head(0), &names, true), 0);
    EXPECT_EQ(unpack(head(0), nullptr, true), 1);
    EXPECT_EQ(BundleReader(context).UnpackBundle(dest, tmp / "none", &names, true, false, nullptr),
              0);
    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(unpack(head(1) + info(kFirst), &names, false), -1);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(filesIn(dest).empty());
}

TEST_F(BundleReaderTest, InformationAndVoiceEntriesBecomeMessageFiles) {
    Names names;
    EXPECT_EQ(unpack(head(2) + info(kFirst) + info(kSecond), &names, false), 2);
    EXPECT_EQ(names, (Names{kFirst + ".vminf", kSecond + ".vminf"}));
    EXPECT_EQ(contents(dest / (kSecond + ".vminf")).substr(1010), info(kSecond));

    names.clear();
    EXPECT_EQ(unpack(head(2) + voice(kThird, voice1) + voice(kFirst, voice2), &names, true), 2);
    EXPECT_EQ(names, (Names{kThird + ".vminf", kFirst + ".vminf"}));
    EXPECT_EQ(contents(dest / (kThird + ".aac")), voice1);
    EXPECT_EQ(contents(dest / (kFirst + ".aac")), voice2);
    EXPECT_EQ(filesIn(dest).size(), 5u);  // no ".part" left behind
}

TEST_F(BundleReaderTest, StoredVoiceIsSkippedByItsLengthUnlessReplacing) {
    std::ofstream(dest / (kFirst + ".aac")) << "old";
    Names names;
    EXPECT_EQ(unpack(head(2) + voice(kFirst, voice1) + voice(kSecond, voice2), &names, true), 2);
    EXPECT_EQ(contents(dest / (kFirst + ".aac")), "old");
    EXPECT_EQ(contents(dest / (kSecond + ".aac")), voice2);
    names.clear();
    EXPECT_EQ(unpack(head(2) + voice(kFirst, voice1) + voice(kSecond, voice2), &names, true), 2);
    EXPECT_EQ(names, (Names{"Already", "Already"}));

    dest = tmp / "store" / "outou";
    fs::create_directories(dest);
    const std::string response = "202401050930_FRI_A007_0000", older = "202312010800_FRI_A007_0000";
    for (const std::string& file : {response + ".aac", older + ".aac", older + ".vminf"}) {
        std::ofstream(dest / file) << "old";
    }
    EXPECT_EQ(unpack(head(1) + voice(response, voice2), nullptr, true, true), 1);
    EXPECT_EQ(filesIn(dest), (Names{response + ".aac", response + ".vminf"}));
    EXPECT_EQ(contents(dest / (response + ".aac")), voice2);

    // Two copies of one number in a bundle: the later stays, as when stored one by one.
    const std::string later = "202402010800_THU_A007_0000";
    EXPECT_EQ(unpack(head(2) + voice(later, voice1) + voice(older, voice2), nullptr, true, true),
              1);
    EXPECT_EQ(filesIn(dest), (Names{older + ".aac", older + ".vminf"}));
}

TEST_F(BundleReaderTest, MessageNamedTwiceInABundleIsStoredOnce) {
    Names names;
    EXPECT_EQ(unpack(head(3) + voice(kFirst, voice1) + voice(kSecond, voice2) + voice(kFirst, "x"),
                     &names, true),
              3);
    EXPECT_EQ(names, (Names{kFirst + ".vminf", kSecond + ".vminf", "Already"}));
    EXPECT_EQ(contents(dest / (kFirst + ".aac")), voice1);
    EXPECT_EQ(filesIn(dest).size(), 4u);
}

TEST_F(BundleReaderTest, ShortOfSpaceStopsBeforeTheEntryThatDoesNotFit) {
    fileSystem.setFreeSpace(tmp.path(), 3000);
    EXPECT_EQ(unpack(head(1) + voice(kFirst, voice2), nullptr, true), -4);
    EXPECT_TRUE(filesIn(dest).empty());

    fileSystem.setFreeSpace(tmp.path(), 4096 + voice2.size());
    EXPECT_EQ(unpack(head(2) + voice(kFirst, voice2) + voice(kSecond, voice1), nullptr, true), -4);
    EXPECT_EQ(filesIn(dest), (Names{kFirst + ".aac", kFirst + ".vminf"}));

    fileSystem.setFreeSpace(tmp.path(), std::nullopt);  // a volume that cannot tell
    EXPECT_EQ(unpack(head(1) + info(kSecond), nullptr, false), -4);
    EXPECT_EQ(filesIn(dest).size(), 2u);
}

TEST_F(BundleReaderTest, BadCountsAndLengthsEndCleanly) {
    Names names;
    EXPECT_EQ(unpack(head(1000) + info(kFirst) + info(kSecond) + "partial", &names, false), 2);
    fs::remove_all(dest);
    fs::create_directories(dest);

    const std::string cut = voice(kSecond, voice1).substr(0, 3000);
    EXPECT_EQ(unpack(head(2) + voice(kFirst, "") + cut, &names, true), 3);
    EXPECT_EQ(filesIn(dest), (Names{kFirst + ".aac", kFirst + ".vminf"}));
    EXPECT_EQ(contents(dest / (kFirst + ".aac")), "");

    const std::string huge = block(kThird + ".vmdat") + be32(0xFFFFFFFF) + voice1;
    names.clear();
    EXPECT_EQ(unpack(head(1) + huge, &names, true), 0);
    EXPECT_EQ(filesIn(dest).size(), 2u);
}

TEST_F(BundleReaderTest, NamesNeverLeadOutsideTheirFolder) {
    DestinationMap map;
    const fs::path mapped = tmp / "mapped";
    fs::create_directories(mapped);
    map.SetDestFolderMap({kFirst + ".vmdat", kThird + ".vmdat"}, {mapped, mapped});
    EXPECT_EQ(
        unpack(head(3) + info(kFirst) + info(kSecond) + info(kThird), nullptr, false, false, &map),
        1);
    EXPECT_EQ(filesIn(mapped), Names{kFirst + ".vminf"});
    EXPECT_TRUE(filesIn(dest).empty());

    dest = tmp / "a" / "b" / "box";
    fs::create_directories(dest);
    for (const std::string& name : {"../../" + kSecond, "../" + kSecond, "sub/" + kSecond}) {
        Names names;
        EXPECT_EQ(unpack(head(1) + voice(name, voice2), &names, true), 0) << name;
    }
    EXPECT_EQ(filesIn(tmp / "a"), Names{"b"});
    EXPECT_EQ(filesIn(tmp / "a" / "b"), Names{"box"});
    EXPECT_TRUE(filesIn(dest).empty());
}

TEST_F(BundleReaderTest, CancelEndsAfterTheEntryOrDropsTheOneBeingCopied) {
    CancellingUi afterFirstEntry(cancel, 2);
    context.ui = &afterFirstEntry;
    Names names;
    EXPECT_EQ(unpack(head(3) + info(kFirst) + info(kSecond) + info(kThird), &names, false), 1);
    fs::remove_all(dest);
    fs::create_directories(dest);

    cancel = 0;
    CancellingUi duringCopy(cancel, 3);
    context.ui = &duringCopy;
    names.clear();
    EXPECT_EQ(unpack(head(2) + voice(kFirst, voice1) + voice(kSecond, voice2), &names, true), 0);
    EXPECT_TRUE(filesIn(dest).empty());
}

TEST_F(BundleReaderTest, VoiceThatCannotBeWrittenLosesItsInformationFile) {
    fs::create_directories(dest / (kFirst + ".aac" + std::string(BundleReader::kPartSuffix)));
    Names names;
    EXPECT_EQ(unpack(head(2) + voice(kFirst, voice1) + voice(kSecond, voice2), &names, true), 1);
    EXPECT_EQ(names, Names{kSecond + ".vminf"});
    EXPECT_FALSE(fs::exists(dest / (kFirst + ".vminf")));

    // A voice file whose write fails part way fails the bundle; an information file that
    // cannot be written ends it. Nothing of either stays.
    fileSystem.setWritesFail(dest);
    const int writesBefore = fileSystem.writes();
    EXPECT_EQ(unpack(head(1) + voice(kThird, voice1), nullptr, true), -1);
    names.clear();
    EXPECT_EQ(unpack(head(2) + info(kThird) + info(kSecond), &names, false), 0);
    EXPECT_EQ(fileSystem.writes() - writesBefore, 2);
    EXPECT_EQ(filesIn(dest), (Names{kFirst + ".aac.part", kSecond + ".aac", kSecond + ".vminf"}));
}

// A message whose information was stored before keeps its file byte for byte when fetching
// its voice fails in any way; nothing of the attempt stays behind.
TEST_F(BundleReaderTest, FailedVoiceFetchLeavesTheStoredInformationAlone) {
    struct Case {
        const char* what;
        std::string bundle;
        int result;
    };
    const std::string entry = voice(kFirst, voice1);
    const Case cases[] = {
        {"cut after the header block", head(1) + info(kFirst), 0},
        {"cut in the voice", head(1) + entry.substr(0, 3000), 0},
        {"cancelled in the copy", head(1) + entry, 0},
        {"disk full before the voice", head(1) + entry, -4},
        {"voice cannot be written", head(1) + entry, -1},
        {"flush fails", head(1) + entry, -1},
    };
    const fs::path stored = dest / (kFirst + ".vminf");
    const std::string before = std::string(1010, 'r') + info(kFirst);
    for (const Case& c : cases) {
        const std::string what = c.what;
        std::ofstream(stored, std::ios::binary) << before;
        cancel = 0;
        CancellingUi cancelling(cancel, what.starts_with("cancelled") ? 3 : 0);
        context.ui = &cancelling;
        fileSystem.setFreeSpace(tmp.path(), what.starts_with("disk") ? 5000 : 1ull << 40);
        fileSystem.onFlush = [&](const fs::path&) { return !what.starts_with("flush"); };
        fileSystem.setWritesFail(dest, what.starts_with("voice"));
        Names names;
        EXPECT_EQ(unpack(c.bundle, &names, true), c.result) << what;
        EXPECT_EQ(contents(stored), before) << what;
        EXPECT_EQ(filesIn(dest), Names{kFirst + ".vminf"}) << what;
        EXPECT_TRUE(names.empty()) << what;
    }
}

// Files get their names only after one flush for the whole batch, and count as stored only
// after that.
TEST_F(BundleReaderTest, OneFlushPerBatchBeforeAnyFileHasItsName) {
    std::string bundleBytes = head(300);
    for (int i = 0; i < 300; ++i) {
        bundleBytes += voice("202401050930_FRI_0101_" + std::to_string(10000 + i), voice2);
    }
    struct Seen {
        std::size_t named = 0, parts = 0, wholeParts = 0;
    };
    std::vector<Seen> flushes;
    fileSystem.onFlush = [&](const fs::path& folder) {
        Seen seen;
        for (const std::string& name : filesIn(folder)) {
            const bool part = name.ends_with(BundleReader::kPartSuffix);
            seen.parts += part;
            seen.named += !part;
            const auto size = fs::file_size(folder / name);
            seen.wholeParts += part && (size == voice2.size() || size == 1266);
        }
        flushes.push_back(seen);
        return flushes.size() < 3;
    };
    Names names;
    EXPECT_EQ(unpack(bundleBytes, &names, true), 300);
    ASSERT_EQ(flushes.size(), 2u);
    EXPECT_EQ(flushes[0].named, 0u);
    EXPECT_EQ(flushes[0].parts, 2 * 256u);
    EXPECT_EQ(flushes[0].wholeParts, 2 * 256u);
    EXPECT_EQ(flushes[1].named, 2 * 256u);
    EXPECT_EQ(flushes[1].parts, 2 * 44u);
    EXPECT_EQ(filesIn(dest).size(), 600u);

    // A failed flush leaves its batch out; what was committed before stays.
    fs::remove_all(dest);
    fs::create_directories(dest);
    int calls = 0;
    fileSystem.onFlush = [&](const fs::path&) { return ++calls < 2; };
    names.clear();
    EXPECT_EQ(unpack(bundleBytes, &names, true), -1);
    EXPECT_EQ(names.size(), 256u);
    EXPECT_EQ(filesIn(dest).size(), 2 * 256u);

    // Nor does a batch count whose folder cannot be flushed after the renames.
    fs::remove_all(dest);
    fs::create_directories(dest);
    fileSystem.onFlush = nullptr;
    fileSystem.setFolderFlushFails(dest);
    names.clear();
    EXPECT_EQ(unpack(bundleBytes, &names, true), -1);
    EXPECT_TRUE(names.empty());
}

// Information files come in either case; the voice gets its own ".aac" file beside one.
TEST_F(BundleReaderTest, VoiceBesideAnUpperCaseInformationFileGetsItsOwnFile) {
    const fs::path stored = dest / (kFirst + ".VMINF");
    std::ofstream(stored, std::ios::binary) << std::string(1010, '\0') + info(kFirst);
    Names names;
    EXPECT_EQ(unpack(head(1) + voice(kFirst, voice1), &names, true), 1);
    EXPECT_EQ(names, Names{kFirst + ".VMINF"});
    EXPECT_EQ(filesIn(dest), (Names{kFirst + ".VMINF", kFirst + ".aac"}));
    EXPECT_EQ(contents(dest / (kFirst + ".aac")), voice1);
    EXPECT_EQ(contents(stored).size(), 1266u);
    EXPECT_EQ(contents(stored)[2], 2) << "download state: voice stored";
}

TEST_F(BundleReaderTest, TemporaryFilesOfACrashAreRemovedFirst) {
    const fs::path mapped = tmp / "mapped";
    fs::create_directories(mapped);
    for (const fs::path& folder : {dest, mapped}) {
        for (const std::string& name : {kFirst + ".aac.part", kSecond + ".vminf.part",
                                        kThird + ".AAC.part", std::string("notes.part")}) {
            std::ofstream(folder / name) << "cut";
        }
    }
    EXPECT_EQ(unpack(head(0), nullptr, true), 1);
    EXPECT_EQ(filesIn(dest), Names{"notes.part"});
    DestinationMap map;
    map.SetDestFolderMap({kFirst + ".vmdat"}, {mapped});
    EXPECT_EQ(unpack(head(0), nullptr, true, false, &map), 1);
    EXPECT_EQ(filesIn(mapped), Names{"notes.part"});
}

}  // namespace
}  // namespace orven
