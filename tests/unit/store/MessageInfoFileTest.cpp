#include "store/MessageInfoFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/ManualClock.h"
#include "support/FakeFileSystem.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

const std::string kBoxMessage = "202401050930_FRI_0101_00001";  // + ".vmdat": 33 characters
const std::string kResponse = "202401050930_FRI_A012_0000";     // + ".vmdat": 32 characters

void put(std::string& bytes, std::size_t at, std::string_view value) {
    bytes.replace(at, value.size(), value);
}

void putWide(std::string& bytes, std::size_t at, std::u16string_view text) {
    for (char16_t c : text) {
        bytes[at++] = static_cast<char>(c & 0xFF);
        bytes[at++] = static_cast<char>(c >> 8);
    }
}

std::string withNuls(std::string text) {
    std::replace(text.begin(), text.end(), ' ', '\0');
    return text;
}

// The main unit's block, laid out by hand from its field table.
struct Block {
    std::string name = kBoxMessage + ".vmdat";
    std::uint8_t flags = 0;
    std::uint32_t tenths = 36001;
    std::string callerName =
        "Ab\x80\xF0\x80\xF0"
        "Cd";
    std::string box = "0101";
    std::uint16_t response = 0;
    std::string signature = "Zu-KA Voice-data";
    std::string date = "Fri, 05 Jan 2024 09:30 +0900";

    std::string bytes() const {
        std::string b(256, '\0');
        put(b, 0, name);
        put(b, 64, signature);
        put(b, 96, withNuls(date));
        put(b, 128, callerName);
        put(b, 160, "0312345678");
        b[193] = static_cast<char>(flags);
        for (int i = 0; i < 4; ++i) {
            b[194 + i] = static_cast<char>(tenths >> (24 - 8 * i));
        }
        b[198] = static_cast<char>(response >> 8);
        b[199] = static_cast<char>(response);
        put(b, 202, box);
        return b;
    }
};

// The record as the PC writes it, laid out by hand from its field table.
struct Record {
    std::uint8_t mark = 0, played = 0, state = 2, protect = 0;
    std::u16string box = u"0101", boxName = u"", caller = u"Ab\u3000\u3000Cd";
    std::u16string date = u"2024/01/05 09:30", length = u"01:00:00", title = u"", memo = u"";
    std::u16string path = u"";

    std::string bytes() const {
        std::string r(1010, '\0');
        r[0] = static_cast<char>(mark);
        r[1] = static_cast<char>(played);
        r[2] = static_cast<char>(state);
        r[3] = static_cast<char>(protect);
        putWide(r, 4, box);
        putWide(r, 14, boxName);
        putWide(r, 56, u"0312345678");
        putWide(r, 122, caller);
        putWide(r, 188, date);
        putWide(r, 228, length);
        putWide(r, 246, title);
        putWide(r, 328, memo);
        putWide(r, 490, path);
        return r;
    }
    FILESTS_INFO record() const { return FILESTS_INFO::fromBytes(bytes()); }
};

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const fs::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

class MessageInfoFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(box);
        fs::create_directories(outou);
        context.folderAccessCheck = [this] {
            ++checks;
            return accessGranted;
        };
    }

    // Every file under the root, so a test sees anything written where it should not be.
    std::vector<fs::path> files() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(root.path())) {
            if (entry.is_regular_file()) {
                found.push_back(fs::relative(entry.path(), root.path()));
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    std::string storeIn(const fs::path& folder, const Block& block, bool voice = false,
                        const DestinationMap* map = nullptr) {
        return store.StoreHeaderBlock(HeaderBlock(block.bytes()), folder, voice, map);
    }

    test::TempDir root;
    fs::path box = root / "rusuroku" / "0101";
    fs::path outou = root / "outou";
    fs::path info = box / (kBoxMessage + ".vminf");
    int checks = 0;
    bool accessGranted = true;
    StoreContext context;
    MessageInfoFile store{context};
};

TEST_F(MessageInfoFileTest, StoredHeaderBecomesRecordPlusBlockInOneFile) {
    const Block block{.flags = 0x03};
    EXPECT_EQ(storeIn(box, block, true), info.string());
    EXPECT_EQ(readAll(info), (Record{.state = 1, .protect = 1}.bytes() + block.bytes()));
    EXPECT_EQ(files(), std::vector<fs::path>{fs::relative(info, root.path())});

    const fs::path response = outou / (kResponse + ".vminf");
    const Block answer{.name = kResponse + ".vmdat", .box = "012", .response = 12};
    EXPECT_EQ(storeIn(outou, answer), response.string());
    EXPECT_EQ(store.IsValidMessageFile(response), 1);
}

TEST_F(MessageInfoFileTest, RecordTakesFlagsLengthsAndNamesFromTheBlock) {
    const auto record = [](const Block& b, bool voice) {
        return MessageInfoFile::RecordFromHeader(HeaderBlock(b.bytes()), voice);
    };
    for (auto [tenths, text] : {std::pair<std::uint32_t, const char*>{36001, "01:00:00"},
                                {35999, "00:59:59"},
                                {9, "00:00:00"},
                                {4000000000u, "99:99:99"}}) {
        EXPECT_EQ(FILESTS_INFO::text(record({.tenths = tenths}, false).recordingLength), text);
    }
    EXPECT_EQ(record({.flags = 0x01}, false).downloadState, 0);
    EXPECT_EQ(record({.flags = 0x01}, true).downloadState, 1);
    EXPECT_EQ(record({.flags = 0x02}, true).downloadState, 2);
    EXPECT_EQ(record({.flags = 0x02}, true).protect, 1);
    EXPECT_EQ(record({}, true).toBytes(), Record{}.bytes()) << "other fields stay zero";
    EXPECT_EQ(FILESTS_INFO::text(record({.date = "Fri, 35 Jan 2024 09:30"}, true).recordingDate),
              "");
}

TEST_F(MessageInfoFileTest, CompleteMessageIsAlreadyThereInEitherCase) {
    writeAll(info, "old");
    writeAll(box / (kBoxMessage + ".AAC"), "voice");
    EXPECT_EQ(storeIn(box, {}, true), MessageInfoFile::kAlready);
    EXPECT_EQ(readAll(info), "old");
    EXPECT_EQ(files().size(), 2u);
}

// Fetching the voice (or the information again) renews what the main unit sends and keeps
// what the user set on the PC, and the block the message was first stored with.
TEST_F(MessageInfoFileTest, RestoringInformationKeepsTheOldBlockAndWhatThePcSet) {
    const std::string oldBlock = Block{.callerName = "Old"}.bytes();
    const Record stored{.mark = 1,
                        .played = 1,
                        .state = 0,
                        .protect = 0,
                        .box = u"9999",
                        .boxName = u"Stale",
                        .caller = u"Old",
                        .date = u"2020/02/03 04:05",
                        .length = u"00:00:01",
                        .title = u"mine",
                        .memo = u"call back",
                        .path = u"/elsewhere/x.aac"};
    writeAll(box / "inf.ini", "[INF]\nNAME=Sales\n");
    for (bool voice : {false, true}) {
        writeAll(info, stored.bytes() + oldBlock);
        EXPECT_EQ(storeIn(box, {.flags = 0x03}, voice), info.string());
        const Record renewed{.mark = 1,
                             .played = 1,
                             .state = std::uint8_t(voice ? 1 : 0),
                             .protect = 1,
                             .boxName = u"Sales",
                             .title = u"mine",
                             .memo = u"call back"};
        EXPECT_EQ(readAll(info), renewed.bytes() + oldBlock) << voice;
    }

    // A header-only leftover of an interrupted store has no block worth keeping.
    writeAll(info, oldBlock);
    EXPECT_EQ(storeIn(box, {}), info.string());
    EXPECT_EQ(readAll(info), Record{.state = 0}.bytes() + Block{}.bytes());
}

// Only the kind folder "outou" makes names one shorter; the text elsewhere in the path does not.
TEST_F(MessageInfoFileTest, BoxMessagesAreStoredWhereverTheStoreLies) {
    for (const fs::path& folder :
         {root / "koutou" / "store" / "rusuroku" / "0101", root / "store" / "naisen" / "outou"}) {
        fs::create_directories(folder);
        const fs::path stored = folder / (kBoxMessage + ".vminf");
        EXPECT_EQ(storeIn(folder, {}), stored.string());
        EXPECT_EQ(store.IsValidMessageFile(stored), 1) << folder;
    }
}

TEST_F(MessageInfoFileTest, ForeignNamesOtherThanPlainMessageNamesAreRefused) {
    const std::string name = kBoxMessage + ".vmdat";
    const auto with = [&](std::size_t at, std::string_view part) {
        return std::string(name).replace(at, part.size(), part);
    };
    for (const std::string& bad : {with(0, "../"), with(4, "/"), with(4, "\\"), with(4, "\x01"),
                                   with(4, "\x7F"), with(28, "vmdax"), with(28, "VMDAT"),
                                   std::string(".."), kResponse + ".vmdat", name + "x"}) {
        EXPECT_EQ(storeIn(box, {.name = bad}), "") << bad;
    }
    EXPECT_EQ(storeIn(outou, {}), "") << "box message length in the response folder";
    EXPECT_EQ(storeIn("", {}), "") << "no folder is not the working folder";
    EXPECT_TRUE(files().empty());
}

TEST_F(MessageInfoFileTest, MapChoosesTheFolderAndAMissWritesNothing) {
    const fs::path other = root / "naisen" / "200";
    fs::create_directories(other);
    DestinationMap map;
    map.SetDestFolderMap({kBoxMessage + ".vmdat"}, {other});
    EXPECT_EQ(storeIn(box, {.name = "  " + kBoxMessage + ".vmdat"}, false, &map),
              (other / (kBoxMessage + ".vminf")).string());
    EXPECT_EQ(storeIn(box, {.name = "202401050931_FRI_0101_00002.vmdat"}, false, &map), "");
    EXPECT_EQ(files().size(), 1u);
}

TEST_F(MessageInfoFileTest, FailedAccessCheckLeavesFilesAlone) {
    const std::string bytes = Record{}.bytes() + Block{}.bytes();
    writeAll(info, bytes);
    accessGranted = false;
    FILESTS_INFO record = Record{.title = u"new"}.record();
    EXPECT_EQ(store.ReadInfo(info, record), 0);
    EXPECT_EQ(store.PrependInfo(info, record), -1);
    EXPECT_EQ(store.WriteInfo(info, record), 0);
    EXPECT_EQ(store.RestampHeader(info, record), 0);
    EXPECT_EQ(store.IsValidMessageFile(info), 0);
    EXPECT_EQ(storeIn(box, {.name = "202401050931_FRI_0101_00002.vmdat"}), "");
    EXPECT_EQ(checks, 6);
    EXPECT_EQ(FILESTS_INFO::text(record.title), "new");
    EXPECT_EQ(readAll(info), bytes);
    EXPECT_EQ(files().size(), 1u);

    EXPECT_EQ(MessageInfoFile::FileExists(box / (kBoxMessage + ".VMINF")), 1);
    EXPECT_EQ(MessageInfoFile::IsValidMessageData(info, record, HeaderBlock(Block{}.bytes())), 1);
    EXPECT_EQ(checks, 6) << "these two run without the check";
}

// Every rewrite goes through the context's file system; one that fails part way (a full disk)
// leaves the stored file byte for byte and nothing beside it.
TEST_F(MessageInfoFileTest, FailedWritesLeaveTheStoredFileAsItWas) {
    test::FakeFileSystem fileSystem;
    fileSystem.setWritesFail(root.path());
    context.fileSystem = &fileSystem;
    const std::string bytes = Record{}.bytes() + Block{}.bytes();
    writeAll(info, bytes);
    FILESTS_INFO record = Record{.title = u"new"}.record();
    EXPECT_EQ(store.PrependInfo(info, record), -1);
    EXPECT_EQ(store.WriteInfo(info, record), 0);
    EXPECT_EQ(store.RestampHeader(info, record), 0);
    EXPECT_EQ(storeIn(box, Block{}), "") << "renewing the stored record";
    EXPECT_EQ(storeIn(box, {.name = "202401050931_FRI_0101_00002.vmdat"}), "") << "a new one";
    EXPECT_EQ(fileSystem.writes(), 5);
    EXPECT_EQ(readAll(info), bytes);
    EXPECT_EQ(files(), std::vector<fs::path>{fs::relative(info, root.path())});
}

TEST_F(MessageInfoFileTest, ReadInfoReadsTheRecordBesideAVoiceFile) {
    writeAll(info, Record{.title = u"t"}.bytes() + Block{}.bytes());
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    EXPECT_EQ(store.ReadInfo(box / (kBoxMessage + ".AAC"), record), 1);
    EXPECT_EQ(record.toBytes(), Record{.title = u"t"}.bytes());
    for (std::size_t size : {0, 1, 1009}) {
        writeAll(info, std::string(size, 'x'));
        EXPECT_EQ(store.ReadInfo(info, record), 0) << size;
    }
    EXPECT_EQ(store.ReadInfo(box / "missing.vminf", record), 0);
}

TEST_F(MessageInfoFileTest, PrependAndWriteRewriteOnlyTheRecord) {
    writeAll(box / "inf.ini", "[INF]\nNAME=Sales\n");
    const std::string block = Block{}.bytes();
    writeAll(info, block);
    EXPECT_EQ(store.PrependInfo(box / (kBoxMessage + ".aac"), Record{}.record()), 0);
    EXPECT_EQ(readAll(info), Record{}.bytes() + block);

    FILESTS_INFO record = Record{.title = u"memo"}.record();
    EXPECT_EQ(store.WriteInfo(box / (kBoxMessage + ".AAC"), record), 1);
    EXPECT_EQ(FILESTS_INFO::text(record.boxName), "Sales");
    EXPECT_EQ(readAll(info), (Record{.boxName = u"Sales", .title = u"memo"}.bytes() + block));

    EXPECT_EQ(store.PrependInfo(box / "missing.vminf", record), -1);
    EXPECT_EQ(store.WriteInfo(box / "missing.vminf", record), 0);
    EXPECT_EQ(files().size(), 2u) << "nothing created, no temporary file left";
}

TEST_F(MessageInfoFileTest, RestampPutsCallerNameAndTodayIntoTheBlock) {
    ManualClock clock(LocalTime::make(2024, 3, 9, 14, 5));
    context.clock = &clock;
    const std::string record = Record{.caller = u"山田"}.bytes();
    writeAll(info, record + Block{}.bytes());
    EXPECT_EQ(store.RestampHeader(info, Record{.caller = u"山田"}.record()), 1);
    std::string block = Block{}.bytes();
    put(block, 96, std::string(32, '\0'));
    put(block, 96, withNuls("Sat, 09 Mar 2024 14:05 +0900"));
    put(block, 128, std::string(32, '\0'));
    put(block, 128, "\x8E\x52\x93\x63");
    EXPECT_EQ(readAll(info), record + block);

    writeAll(info, std::string(1265, 'x'));
    EXPECT_EQ(store.RestampHeader(info, Record{}.record()), 0);
    EXPECT_EQ(readAll(info), std::string(1265, 'x'));
}

TEST_F(MessageInfoFileTest, ValidityNeedsSizeSignatureAndAgreeingNumbers) {
    const auto valid = [&](const fs::path& file, const std::string& bytes) {
        writeAll(file, bytes);
        return store.IsValidMessageFile(file);
    };
    const std::string good = Record{}.bytes() + Block{}.bytes();
    EXPECT_EQ(valid(info, good), 1);
    EXPECT_EQ(valid(info, good.substr(0, 1265)), 0);
    EXPECT_EQ(valid(info, ""), 0);
    EXPECT_EQ(valid(info, "x"), 0);
    EXPECT_EQ(valid(info, Record{}.bytes() + Block{.signature = "Zu-KA Voice-dat"}.bytes()), 0);
    EXPECT_EQ(valid(info, Record{.length = u"010000"}.bytes() + Block{}.bytes()), 0);
    EXPECT_EQ(valid(box / (kResponse + ".vminf"), good), 0) << "name too short for a box";

    const fs::path response = outou / (kResponse + ".vminf");
    const Record rec{.box = u"012"};
    const Block blk{.name = kResponse + ".vmdat", .box = "012", .response = 12};
    EXPECT_EQ(valid(response, rec.bytes() + blk.bytes()), 1);
    EXPECT_EQ(valid(response, Record{.box = u"13"}.bytes() + blk.bytes()), 0);
    EXPECT_EQ(valid(response, rec.bytes() + Block{.box = "013", .response = 12}.bytes()), 0);
    EXPECT_EQ(valid(response, rec.bytes() + Block{.box = "012", .response = 13}.bytes()), 0);
    const Block zero{.box = "000", .response = 0};
    EXPECT_EQ(valid(outou / "202401050930_FRI_A000_0000.vminf",
                    Record{.box = u"000"}.bytes() + zero.bytes()),
              0);
}

}  // namespace
}  // namespace orven
