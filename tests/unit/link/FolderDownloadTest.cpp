#include <gtest/gtest.h>

#include <string>

#include "JobStandInFixture.h"
#include "link/FolderDownload.h"
#include "platform/ProfileFile.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;

class FolderDownloadTest : public JobStandInTest {
  protected:
    void SetUp() override {
        JobStandInTest::SetUp();
        fs::create_directories(dir / "root" / "rusuroku" / "0101");
        fs::create_directories(dir / "root" / "rusuroku" / "0102");
        fs::create_directories(dir / "root" / "naisen" / "0201");
    }

    std::string make(const fs::path& folder) const {
        return ProfileFile(folder / "inf.ini").getString("INF", "MAKE", "none");
    }

    FolderDownloadResult run() {
        progress = ui.openProgress("p", "t", &cancel);
        FolderDownload download(env);
        const FolderDownloadResult result = download.run(store, progress.get());
        cancelled = download.cancelled();
        return result;
    }

    std::unique_ptr<Progress> progress;
    bool cancelled = false;
};

TEST_F(FolderDownloadTest, BuildsTheBoxTreeAndClearsThePendingMarks) {
    startAndLogIn();
    ASSERT_EQ(run(), FolderDownloadResult::Done);
    EXPECT_FALSE(cancelled);
    for (const char* folder : {"rusuroku/0101", "rusuroku/0102", "naisen/0201", "outou"}) {
        EXPECT_TRUE(fs::is_directory(store / folder)) << folder;
        EXPECT_EQ(make(store / folder), "0") << folder;
    }
    EXPECT_EQ(ui.progresses().at(0).percents, (std::vector<int>{20, 40, 60, 100}));
}

TEST_F(FolderDownloadTest, ExistingBoxFoldersAreKeptAsTheyAre) {
    const fs::path mine = box("rusuroku", "0101");
    ProfileFile(mine / "inf.ini").writeString("INF", "NAME", "Sales");
    startAndLogIn();
    ASSERT_EQ(run(), FolderDownloadResult::Done);
    EXPECT_EQ(ProfileFile(mine / "inf.ini").getString("INF", "NAME"), "Sales");
    EXPECT_EQ(make(mine), "none");
    EXPECT_EQ(make(store / "rusuroku" / "0102"), "0");
}

TEST_F(FolderDownloadTest, UnreadableBoxListChangesNothing) {
    startAndLogIn();
    mainunit::MainUnitFaults faults;
    faults.dropControlAfterCommands = 1;
    server->setFaults(faults);
    EXPECT_EQ(run(), FolderDownloadResult::ListFailed);
    EXPECT_FALSE(fs::exists(store));
}

TEST_F(FolderDownloadTest, CancelTakesBackOnlyWhatThisRunMade) {
    const fs::path mine = box("rusuroku", "0101");
    startAndLogIn();
    ui.cancelProgressAtPercent(60);
    EXPECT_EQ(run(), FolderDownloadResult::Done);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(fs::is_directory(mine));
    EXPECT_FALSE(fs::exists(store / "rusuroku" / "0102"));
    EXPECT_FALSE(fs::exists(store / "naisen"));
    EXPECT_FALSE(fs::exists(store / "outou"));
}

TEST_F(FolderDownloadTest, UnreachableStoreIsReported) {
    env.folderAccessCheck = [] { return false; };
    startAndLogIn();
    EXPECT_EQ(run(), FolderDownloadResult::Unreachable);
    EXPECT_FALSE(fs::exists(store / "rusuroku"));
}

}  // namespace
}  // namespace orven::test
