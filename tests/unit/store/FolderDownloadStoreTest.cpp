#include "store/FolderDownloadStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ProfileFile.h"
#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

int make(const fs::path& folder) {
    return ProfileFile(folder / "inf.ini").getInt("INF", "MAKE", -9);
}

class FolderDownloadStoreTest : public ::testing::Test {
  protected:
    // A box folder the PC had before, with a name, a mark and a message.
    fs::path existingBox(const std::string& kind, const std::string& name, int mark) {
        const fs::path folder = store / kind / name;
        fs::create_directories(folder);
        writeFile(folder / "inf.ini",
                  "[INF]\r\nNAME=\"Old\"\r\nMAKE=" + std::to_string(mark) + "\r\n");
        writeFile(folder / "202401050930_FRI_0100_00001.vminf", "message");
        return folder;
    }

    test::TempDir dir;
    fs::path store = dir / "store";
    StoreContext context;
    std::vector<int> progress;
    FolderDownloadStore download{context, [this](int at) { progress.push_back(at); }};
};

TEST_F(FolderDownloadStoreTest, BeginMarksNewFoldersPendingAndLeavesExistingOnes) {
    const fs::path old = existingBox("naisen", "100", 0);
    const std::string oldInfo = readFile(old / "inf.ini");

    EXPECT_EQ(download.begin(store, {"0101"}, {"100", "101"}), FolderDownloadStore::kOk);

    for (const fs::path& made : {store / "rusuroku/0101", store / "naisen/101", store / "outou"}) {
        EXPECT_EQ(make(made), 2) << made;
        EXPECT_NE(readFile(made / "inf.ini").find("NAME=\"\""), std::string::npos) << made;
    }
    EXPECT_EQ(readFile(old / "inf.ini"), oldInfo);
    EXPECT_EQ(progress, (std::vector<int>{40, 60, 100}));
}

TEST_F(FolderDownloadStoreTest, CompleteClearsEveryPendingMarkOnly) {
    existingBox("rusuroku", "user", 1);
    existingBox("rusuroku", "leftover", 2);
    ASSERT_EQ(download.begin(store, {"0101"}, {"101"}), 0);
    EXPECT_EQ(download.complete(store), 0);
    EXPECT_EQ(make(store / "rusuroku/0101"), 0);
    EXPECT_EQ(make(store / "naisen/101"), 0);
    EXPECT_EQ(make(store / "outou"), 0);
    EXPECT_EQ(make(store / "rusuroku/leftover"), 0);
    EXPECT_EQ(make(store / "rusuroku/user"), 1);
}

TEST_F(FolderDownloadStoreTest, CancelRemovesExactlyTheFoldersItMade) {
    existingBox("naisen", "100", 0);
    existingBox("naisen", "200", 1);
    ASSERT_EQ(download.begin(store, {"0101"}, {"100", "101", "102"}), 0);
    EXPECT_EQ(download.cancel(store), 0);
    EXPECT_FALSE(fs::exists(store / "naisen/101"));
    EXPECT_FALSE(fs::exists(store / "naisen/102"));
    EXPECT_TRUE(fs::exists(store / "naisen/100/202401050930_FRI_0100_00001.vminf"));
    EXPECT_EQ(make(store / "naisen/200"), 1);
    EXPECT_FALSE(fs::exists(store / "rusuroku"));  // left empty
    EXPECT_FALSE(fs::exists(store / "outou"));     // made by this download
}

// A box folder whose pending mark cannot be written is not left behind for good.
TEST_F(FolderDownloadStoreTest, FolderThatCannotBeMarkedIsTakenBack) {
    test::FakeFileSystem files;
    files.setWritesFail(store / "naisen" / "102");
    context.fileSystem = &files;
    EXPECT_EQ(download.begin(store, {}, {"101", "102"}), FolderDownloadStore::kFailed);
    EXPECT_FALSE(fs::exists(store / "naisen/102"));
    EXPECT_EQ(make(store / "naisen/101"), 2);
    EXPECT_EQ(download.cancel(store), FolderDownloadStore::kOk);
    EXPECT_FALSE(fs::exists(store / "naisen"));
}

TEST_F(FolderDownloadStoreTest, CancelGivesAnExistingOutouItsOldInfoBack) {
    const fs::path outou = existingBox("outou", "", 0);
    const std::string oldInfo = readFile(outou / "inf.ini");
    ASSERT_EQ(download.begin(store, {}, {}), 0);
    EXPECT_EQ(make(outou), 2);
    EXPECT_EQ(download.cancel(store), 0);
    EXPECT_EQ(readFile(outou / "inf.ini"), oldInfo);
    EXPECT_TRUE(fs::exists(outou / "202401050930_FRI_0100_00001.vminf"));
}

TEST_F(FolderDownloadStoreTest, SecondDownloadResetsTheOutouName) {
    ASSERT_EQ(download.begin(store, {}, {}), 0);
    ASSERT_EQ(download.complete(store), 0);
    ProfileFile(store / "outou/inf.ini").writeString("INF", "NAME", "\"Greeting\"");
    ASSERT_EQ(download.begin(store, {}, {}), 0);
    ASSERT_EQ(download.complete(store), 0);
    EXPECT_EQ(ProfileFile(store / "outou/inf.ini").getString("INF", "NAME", "absent"), "");
    EXPECT_EQ(make(store / "outou"), 0);
}

TEST_F(FolderDownloadStoreTest, NamesThatAreNoPlainFolderNameAreSkipped) {
    const Names hostile = {"", ".", "..", "../../escape", "a/b", "/abs", "x\ny", "t\x7f"};
    Names names = hostile;
    names.push_back("ok");
    EXPECT_EQ(download.begin(store, names, {}), 0);
    EXPECT_EQ(download.skippedNames(), hostile);
    EXPECT_FALSE(fs::exists(dir / "escape"));
    std::vector<fs::path> made;
    for (const auto& entry : fs::directory_iterator(store / "rusuroku")) {
        made.push_back(entry.path().filename());
    }
    EXPECT_EQ(made, std::vector<fs::path>{"ok"});
}

TEST_F(FolderDownloadStoreTest, OnlyTheCancelFlagStopsTheBoxFolders) {
    std::atomic<int> stopRequest = 1;
    context.stopRequest = &stopRequest;  // raised while the worker is held
    EXPECT_EQ(download.begin(store, {"0101"}, {}), 0);

    std::atomic<int> cancelFlag = 1;
    context.cancelFlag = &cancelFlag;
    EXPECT_EQ(download.begin(dir / "other", {"0101"}, {}), FolderDownloadStore::kCancelled);
    EXPECT_FALSE(fs::exists(dir / "other/rusuroku/0101"));
    EXPECT_FALSE(fs::exists(dir / "other/outou"));
}

TEST_F(FolderDownloadStoreTest, FailedAccessCheckMakesNothing) {
    context.folderAccessCheck = [] { return false; };
    EXPECT_EQ(download.begin(store, {"0101"}, {"101"}), FolderDownloadStore::kFailed);
    EXPECT_FALSE(fs::exists(store));
    EXPECT_EQ(download.cancel(store), FolderDownloadStore::kFailed);
}

}  // namespace
}  // namespace orven
