#include "app/CORVENDoc.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

TEST(CORVENDocStartup, NextDataFolderTakesEffectAndAnEmptyOneKeepsTheLast) {
    CORVENDoc doc;
    doc.dataFolder = "/old";
    doc.nextDataFolder = "/new/";
    doc.currentFolderName = "A";
    doc.nextFolderName = "B";
    EXPECT_TRUE(doc.takeStartupFolder());
    EXPECT_EQ(doc.dataFolder.str(), "/new/");
    EXPECT_EQ(doc.currentFolderName.str(), "A") << "start-up mode 0 opens the last folder";

    doc.nextDataFolder.clear();
    EXPECT_TRUE(doc.takeStartupFolder());
    EXPECT_EQ(doc.dataFolder.str(), "/new/");
}

TEST(CORVENDocStartup, SpecifiedFolderReplacesTheLastOneUnlessWindowOneShowsIt) {
    CORVENDoc doc;
    doc.startupMode = 1;
    doc.currentFolderName = "A";
    doc.nextFolderName = "B";
    doc.windowFolderNames[0] = "A";
    EXPECT_FALSE(doc.takeStartupFolder());
    EXPECT_EQ(doc.currentFolderName.str(), "B");

    doc.currentFolderName = "B";
    doc.windowFolderNames[0] = "B";
    EXPECT_TRUE(doc.takeStartupFolder());
}

TEST(CORVENDocStartup, WindowsComeBackOnlyForAnUnchangedFolderWithWindows) {
    CORVENDoc doc;
    doc.windowCount = 2;
    EXPECT_TRUE(doc.restoresListWindows(true));
    EXPECT_FALSE(doc.restoresListWindows(false));
    doc.folderChanged = 1;
    EXPECT_FALSE(doc.restoresListWindows(true));
    doc.folderChanged = 0;
    doc.windowCount = 0;
    EXPECT_FALSE(doc.restoresListWindows(true));
}

TEST(CORVENDocStartup, MissingStoreIsForgottenWithItsWindows) {
    CORVENDoc doc;
    doc.dataFolder = "/gone";
    doc.currentFolderName = "A";
    doc.windowBoxLists[3] = "留守録BOX:1";
    doc.windowCount = 4;
    doc.forgetStoreFolder();
    EXPECT_EQ(doc.storeFolder(), "");
    EXPECT_TRUE(doc.windowBoxLists[3].empty());
    EXPECT_EQ(doc.windowCount, 0);
}

TEST(CORVENDocStore, StoreFolderJoinsWithOneSlash) {
    CORVENDoc doc;
    doc.dataFolder = "/srv/voice";
    doc.currentFolderName = "2026";
    EXPECT_EQ(doc.storeFolder(), "/srv/voice/2026");
    doc.dataFolder = "/srv/voice/";
    EXPECT_EQ(doc.storeFolder(), "/srv/voice/2026");
}

TEST(FixedTextTest, HoldsOneLessThanItsSizeInUtf16Units) {
    FixedText<4> text("abcdef");
    EXPECT_EQ(text.str(), "abc");
    text = "ｱｲｳｴ";
    EXPECT_EQ(text.str(), "ｱｲｳ");
    text = "a\xF0\x9F\x93\x9E";  // a and a telephone outside the basic plane: 3 units
    EXPECT_EQ(text.str(), "a\xF0\x9F\x93\x9E");
    text = "ab\xF0\x9F\x93\x9E";
    EXPECT_EQ(text.str(), "ab");
}

}  // namespace
}  // namespace orven
