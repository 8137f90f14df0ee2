#include "store/MessageFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using Text = std::string;

const Text kFirst = "202401050930_FRI_0101_00001";
const Text kSecond = "202401050931_FRI_0101_00002";
const Text kResponse = "202401050930_FRI_A012_0001";

Text le16(std::string_view ascii) {
    Text bytes;
    for (char c : ascii) {
        bytes += {c, '\0'};
    }
    return bytes;
}

// A message information file laid out by hand: the record at 0, the header block at 1010.
// response != 0 makes the four numbers of a system response message agree.
Text messageBytes(std::string_view title, int response = 0) {
    Text bytes(1266, '\0');
    bytes.replace(4, 8, le16("9999"));         // box number: the scan takes it from the name
    bytes.replace(228, 16, le16("00:00:05"));  // recording length
    bytes.replace(246, title.size() * 2, le16(title));
    bytes.replace(1010 + 64, 16, "Zu-KA Voice-data");
    if (response != 0) {
        const Text digits = std::to_string(1000 + response).substr(1);
        bytes.replace(4, 8, le16(digits) + Text(2, '\0'));
        bytes[1010 + 198] = static_cast<char>(response >> 8);
        bytes[1010 + 199] = static_cast<char>(response & 0xFF);
        bytes.replace(1010 + 202, 3, digits);
    }
    return bytes;
}

void put(const fs::path& file, std::string_view bytes = "x") {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), bytes.size());
}

template <std::size_t N>
Text text(const char16_t (&field)[N]) {
    return FILESTS_INFO::text(field);
}

class MessageFolderTest : public ::testing::Test {
  protected:
    fs::path box() const { return dir / "store" / "rusuroku" / "0101"; }
    fs::path outou() const { return dir / "store" / "outou"; }

    static std::string bytesOf(const std::vector<FILESTS_INFO>& records) {
        std::string bytes;
        for (const FILESTS_INFO& record : records) {
            bytes += record.toBytes();
        }
        return bytes;
    }

    // Records by title; fails the test when the scan fails.
    std::map<Text, FILESTS_INFO> scan(const fs::path& folder) {
        std::vector<FILESTS_INFO> records;
        EXPECT_EQ(messages.ScanFolder(records, folder), 0);
        // Read from the names a count listed, and from a listing that failed (listed anew),
        // the scan finds the same records.
        MessageFolder::Listing counted;
        messages.CountMessages(folder, counted);
        for (const MessageFolder::Listing& listing :
             {counted, MessageFolder::Listing{folder, {}, false}}) {
            std::vector<FILESTS_INFO> fromListing;
            EXPECT_EQ(messages.ScanFolder(fromListing, listing), 0);
            EXPECT_EQ(bytesOf(fromListing), bytesOf(records));
        }
        std::map<Text, FILESTS_INFO> byTitle;
        for (const FILESTS_INFO& record : records) {
            byTitle[text(record.title)] = record;
        }
        return byTitle;
    }

    test::TempDir dir;
    StoreContext context;
    MessageFolder messages{context};
};

TEST_F(MessageFolderTest, ScanListsOnlyCompleteMessagesWithMessageNames) {
    put(box() / (kFirst + ".vminf"), messageBytes("whole"));
    put(box() / (kSecond + ".vminf"), messageBytes("cut").substr(0, 1265));
    put(box() / ("0" + kFirst + ".vminf"), messageBytes("long name"));
    put(box() / (kFirst + ".vminf.bak"), messageBytes("other extension"));
    Text unsigned_ = messageBytes("no signature");
    unsigned_[1010 + 64] = 'z';
    put(box() / "202401050932_FRI_0101_00003.vminf", unsigned_);
    fs::create_directories(box() / "202401050933_FRI_0101_00004.vminf");
    // Gone between listing and reading: passed over, not a failure.
    fs::create_symlink(box() / "gone", box() / "202401050934_FRI_0101_00005.vminf");

    const auto records = scan(box());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records.contains("whole"));
    EXPECT_TRUE(scan(dir / "missing").empty());
}

TEST_F(MessageFolderTest, ScanFillsPathBoxNumberAndBoxName) {
    put(box() / "inf.ini", "[INF]\r\nNAME=\"Sales desk of the north\"\r\n");
    put(box() / (kFirst + ".vminf"), messageBytes("lower"));
    put(box() / (kFirst + ".aac"));
    put(box() / (kSecond + ".vminf"), messageBytes("upper"));
    put(box() / (kSecond + ".AAC"));
    put(box() / "202401050930_FRI_A123_00003.vminf", messageBytes("prefixed"));
    put(box() / "202401050930_FRIX0101_00004.vminf", messageBytes("no field"));
    put(outou() / (kResponse + ".vminf"), messageBytes("response", 12));

    auto records = scan(box());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(text(records["lower"].filePath), (box() / (kFirst + ".aac")).string());
    EXPECT_EQ(text(records["upper"].filePath), (box() / (kSecond + ".AAC")).string());
    EXPECT_EQ(text(records["prefixed"].filePath),
              (box() / "202401050930_FRI_A123_00003.vminf").string());
    EXPECT_EQ(text(records["lower"].boxNumber), "0101");
    EXPECT_EQ(text(records["prefixed"].boxNumber), "123");
    EXPECT_EQ(text(records["no field"].boxNumber), "");
    EXPECT_EQ(text(records["no field"].boxName), "Sales desk of the no");
    auto responses = scan(outou());
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(text(responses["response"].boxNumber), "012");
}

// The kind folder decides the kind, not the text "outou" somewhere in the path.
TEST_F(MessageFolderTest, ScanFindsBoxMessagesWhereverTheStoreLies) {
    for (const fs::path& folder :
         {dir / "koutou" / "store" / "rusuroku" / "0101", dir / "store" / "naisen" / "outou"}) {
        put(folder / (kFirst + ".vminf"), messageBytes("box"));
        put(folder / (kResponse + ".vminf"), messageBytes("response", 12));
        const auto records = scan(folder);
        EXPECT_EQ(records.size(), 1u) << folder;
        EXPECT_TRUE(records.contains("box")) << folder;
    }
}

TEST_F(MessageFolderTest, ScanLeavesOutPathsTheRecordCannotHold) {
    const Text base = dir.path().string() + "/";
    const fs::path fits = base + Text(224 - base.size(), 'f');  // 224 + 1 + 33 = 258
    const fs::path over = base + Text(225 - base.size(), 'o');
    put(fits / (kFirst + ".vminf"), messageBytes("fits"));
    put(over / (kFirst + ".vminf"), messageBytes("too long"));
    put(over / (kSecond + ".vminf"), messageBytes("voice fits"));
    put(over / (kSecond + ".aac"));

    EXPECT_EQ(scan(fits).size(), 1u);
    const auto records = scan(over);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records.contains("voice fits"));
}

TEST_F(MessageFolderTest, FailedScanDeliversNothing) {
    put(box() / (kFirst + ".vminf"), messageBytes("one"));
    put(box() / (kSecond + ".vminf"), messageBytes("two"));
    std::vector<FILESTS_INFO> records(5, FILESTS_INFO::zeroed());
    int checks = 0;
    context.folderAccessCheck = [&] { return ++checks < 4; };  // fails in the second pass
    EXPECT_EQ(messages.ScanFolder(records, box()), -1);
    EXPECT_EQ(records.size(), 5u);

    context.folderAccessCheck = nullptr;
    const fs::path loop = box() / "202401050932_FRI_0101_00003.vminf";  // opens for nobody
    fs::create_symlink(loop, loop);
    EXPECT_EQ(messages.ScanFolder(records, box()), -1);
    EXPECT_EQ(records.size(), 5u);
}

TEST_F(MessageFolderTest, ScanStopsAtTheRecordLimitAndKeepsTheUiAlive) {
    for (char i : {'1', '2', '3'}) {
        put(box() / ("202401050930_FRI_0101_0000" + Text(1, i) + ".vminf"), messageBytes({&i, 1}));
    }
    test::ScriptedUi ui;
    context.ui = &ui;
    messages.setRecordLimit(2);
    EXPECT_EQ(scan(box()).size(), 2u);
    EXPECT_GE(ui.pumpCount(), 3);
}

// A list refreshed while another scan pumps the interface must not wait for itself.
TEST_F(MessageFolderTest, ScanStartedFromThePumpOfAnotherScanRuns) {
    struct NestingUi : test::ScriptedUi {
        void pump() override {
            if (nested < 0) {
                nested = 0;
                std::vector<FILESTS_INFO> inner;
                nested = folder->ScanFolder(inner, where) == 0 ? int(inner.size()) : -1;
            }
        }
        MessageFolder* folder = nullptr;
        fs::path where;
        int nested = -1;
    } ui;
    put(box() / (kFirst + ".vminf"), messageBytes("one"));
    ui.folder = &messages;
    ui.where = box();
    context.ui = &ui;
    EXPECT_EQ(scan(box()).size(), 1u);
    EXPECT_EQ(ui.nested, 1);
}

TEST_F(MessageFolderTest, CountTakesBothFilesOfAStemOnceAndChecksOnlyUnderDotOutou) {
    put(box() / (kFirst + ".vminf"));
    put(box() / (kFirst + ".vmdat"));
    put(box() / (kSecond + ".vminf"));  // not opened outside ".outou" folders
    put(box() / "202401050932_FRI_0101_00003.vmdat");
    put(box() / (kFirst + ".aac"));
    fs::create_directories(box() / "202401050933_FRI_0101_00004.vminf");
    EXPECT_EQ(messages.CountMessages(box()), 3);
    EXPECT_EQ(messages.CountMessages(dir / "missing"), 0);
    // The folder total adds the box folders of both kinds, not the response messages.
    put(dir / "store" / "naisen" / "200" / (kFirst + ".vminf"));
    put(outou() / (kResponse + ".vminf"), messageBytes("response", 12));
    EXPECT_EQ(messages.CountFolderTotal(dir / "store"), 4);

    const fs::path marked = dir / "old.outou" / "outou";
    for (const fs::path& folder : {outou(), marked}) {
        put(folder / (kResponse + ".vminf"), messageBytes("good", 12));
        put(folder / "202401050930_FRI_A013_0001.vminf", messageBytes("numbers disagree", 12));
    }
    EXPECT_EQ(messages.CountMessages(outou()), 2);
    EXPECT_EQ(messages.CountMessages(marked), 1);

    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(messages.CountMessages(box()), 0);
}

TEST_F(MessageFolderTest, ReadFirstInfoPrefersInformationFilesInNameOrder) {
    put(box() / (kSecond + ".vminf"), messageBytes("second"));
    put(box() / (kFirst + ".vmdat"), messageBytes("data"));
    put(box() / (kFirst + ".vminf"), messageBytes("first"));
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    EXPECT_EQ(messages.ReadFirstInfo(box(), record), 1);
    EXPECT_EQ(text(record.title), "first");

    fs::remove(box() / (kFirst + ".vminf"));
    fs::remove(box() / (kSecond + ".vminf"));
    EXPECT_EQ(messages.ReadFirstInfo(box(), record), 1);
    EXPECT_EQ(text(record.title), "data");
    put(box() / (kFirst + ".vminf"), "short");
    EXPECT_EQ(messages.ReadFirstInfo(box(), record), 0);
}

TEST_F(MessageFolderTest, CheckExistingResponseComparesTheStoredCopysAge) {
    const Text stored = kResponse + ".AAC";
    put(outou() / stored);
    fs::path found;
    auto check = [&](const Text& name) {
        return messages.CheckExistingResponse(outou(), name, found);
    };
    EXPECT_EQ(check(kResponse + ".vmdat"), 0);
    EXPECT_EQ(found, outou() / stored);
    EXPECT_EQ(check("202312010000_FRI_A012_0001.vmdat"), 0);
    EXPECT_EQ(check("202401050931_FRI_A012_0001.vmdat"), 2);
    EXPECT_EQ(found, outou() / stored);
    EXPECT_EQ(check("202401050931_FRI_A012_0002.vmdat"), 1);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(check("2024_A012"), -1);

    fs::rename(outou() / stored, outou() / ("x" + stored));
    EXPECT_EQ(check(kResponse + ".vmdat"), 2);
    EXPECT_TRUE(found.empty());
    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(check(kResponse + ".vmdat"), -1);
}

TEST_F(MessageFolderTest, RemoveOlderCopiesKeepsTheNewFilesAndOtherNumbers) {
    const Text newStem = "202402010900_THU_A012_0001";
    const std::vector<Text> kept = {newStem + ".aac", newStem + ".vminf",
                                    "202401050930_FRI_A012_0002.aac",
                                    "202401050930_FRI_A012_0002.vminf", "x" + kResponse + ".aac"};
    const std::vector<Text> removed = {kResponse + ".aac", kResponse + ".vminf",
                                       "202312010000_FRI_A012_0001.AAC"};
    for (const auto& names : {kept, removed}) {
        for (const Text& name : names) {
            put(outou() / name);
        }
    }
    // Named as the caller spelt it: on a share that ignores case that is the ".aac" file.
    EXPECT_EQ(messages.RemoveOlderCopies(outou(), (outou() / (newStem + ".AAC")).string()), 1);
    for (const Text& name : kept) {
        EXPECT_TRUE(fs::exists(outou() / name)) << name;
    }
    for (const Text& name : removed) {
        EXPECT_FALSE(fs::exists(outou() / name)) << name;
    }
    EXPECT_EQ(messages.RemoveOlderCopies(outou(), "202402010900_THU_A01*_0001.aac"), 0);
    EXPECT_TRUE(fs::exists(outou() / kept[0]));  // the wildcard would reach it
}

TEST_F(MessageFolderTest, StoreHoldsMessagesTellsEmptyBoxesFromNoBoxes) {
    const fs::path store = dir / "store";
    fs::create_directories(store / "naisen");
    put(store / "other" / "200" / (kFirst + ".vminf"));
    EXPECT_EQ(messages.StoreHoldsMessages(store), 0);
    fs::create_directories(store / "rusuroku" / "0101");
    EXPECT_EQ(messages.StoreHoldsMessages(store), 2);
    put(store / "naisen_old" / "200" / (kFirst + ".vminf"));
    EXPECT_EQ(messages.StoreHoldsMessages(store), 1);

    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(messages.StoreHoldsMessages(store), -1);
}

}  // namespace
}  // namespace orven
