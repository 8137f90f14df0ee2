#include "app/StartupFolderSetting.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

// A record that had a specified folder and a pending change.
struct StartupFolderSettingTest : ::testing::Test {
    StartupFolderSettingTest() {
        doc.startupMode = 1;
        doc.nextDataFolder = "/data/";
        doc.nextFolderName = "DL_1";
        doc.folderChanged = 1;
    }
    CORVENDoc doc;
};

TEST_F(StartupFolderSettingTest, ShownFolderIsTheNextFolderOnlyInSpecifiedMode) {
    EXPECT_EQ(StartupFolderSetting::shownFolder(doc), "/data/DL_1");
    doc.startupMode = 0;
    EXPECT_EQ(StartupFolderSetting::shownFolder(doc), "");
}

TEST_F(StartupFolderSettingTest, LastFolderClearsTheNextFolderAndTheChange) {
    EXPECT_TRUE(StartupFolderSetting::apply(doc, false, "/ignored/X"));
    EXPECT_EQ(doc.startupMode, 0);
    EXPECT_TRUE(doc.nextDataFolder.empty());
    EXPECT_TRUE(doc.nextFolderName.empty());
    EXPECT_EQ(doc.folderChanged, 0);
}

TEST_F(StartupFolderSettingTest, SpecifiedFolderIsSplitAndMarkedChanged) {
    doc.startupMode = 0;
    doc.folderChanged = 0;
    EXPECT_TRUE(StartupFolderSetting::apply(doc, true, "/mnt/vm/store/DL_9"));
    EXPECT_EQ(doc.startupMode, 1);
    EXPECT_EQ(doc.nextDataFolder.str(), "/mnt/vm/store/");
    EXPECT_EQ(doc.nextFolderName.str(), "DL_9");
    EXPECT_EQ(doc.folderChanged, 1);
}

TEST_F(StartupFolderSettingTest, EmptySpecifiedFolderIsRefusedKeepingTheFolders) {
    EXPECT_FALSE(StartupFolderSetting::apply(doc, true, ""));
    EXPECT_EQ(doc.startupMode, 1);
    EXPECT_EQ(doc.nextDataFolder.str(), "/data/");
    EXPECT_EQ(doc.nextFolderName.str(), "DL_1");
}

}  // namespace
}  // namespace orven
