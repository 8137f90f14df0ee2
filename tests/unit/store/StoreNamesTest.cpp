#include "store/StoreNames.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

TEST(StoreNamesTest, NameLengthDependsOnTheKindOfFolder) {
    EXPECT_TRUE(StoreNames::isCandidateName("/s/rusuroku/0101/202401050930_FRI_0101_00001.vminf"));
    EXPECT_FALSE(StoreNames::isCandidateName("/s/outou/202401050930_FRI_0101_00001.vminf"));
    EXPECT_TRUE(StoreNames::isCandidateName("/s/outou/202401050930_FRI_A012_0000.vminf"));
    EXPECT_FALSE(StoreNames::isCandidateName("/s/naisen/12/202401050930_FRI_A012_0000.vminf"));
}

TEST(StoreNamesTest, ResponseKindIsTheKindFolderOutouNotTheTextAnywhere) {
    const std::pair<const char*, bool> cases[] = {
        {"/s/outou", true},
        {"/s/outou/", true},
        {"/s/outou/202401050930_FRI_A012_0000.vminf", true},
        {"/outou", true},  // the main unit's folders
        {"/outou/", true},
        {"/outou/202401050930_FRI_A012_0000.vmdat", true},
        {"outou", true},
        {"/rusuroku/0101", false},
        {"/home/koutou/store/rusuroku/0101", false},
        {"/home/koutou/store/rusuroku/0101/202401050930_FRI_0101_00001.vminf", false},
        {"/home/koutou", false},
        {"/s/rusuroku/outou", false},  // a box folder of that name
        {"/s/naisen/outou/", false},
        {"/s/naisen/outou/202401050930_FRI_0101_00001.vminf", false},
        {"/s/outou/sub/202401050930_FRI_A012_0000.vminf", false},
        {"/s/outou.old/202401050930_FRI_A012_0000.vminf", false},
        {"/", false},
        {"", false},
    };
    for (const auto& [path, response] : cases) {
        EXPECT_EQ(StoreNames::isResponsePath(path), response) << path;
    }
    EXPECT_TRUE(StoreNames::isCandidateName(
        "/home/koutou/s/rusuroku/0101/202401050930_FRI_0101_00001.vminf"));
}

TEST(StoreNamesTest, BoxNumberFollowsTheAPrefixRule) {
    EXPECT_EQ(StoreNames::boxNumber("202401050930_FRI_A012_0000.vminf"), "012");
    EXPECT_EQ(StoreNames::boxNumber("202401050930_FRI_0012_00001.vminf"), "0012");
    EXPECT_EQ(StoreNames::boxNumber("202401050930-FRI_0012_00001.vminf"), "0012");
    EXPECT_EQ(StoreNames::boxNumber("202401050930_FR_0012_00001.vminf"), "");
    EXPECT_EQ(StoreNames::boxNumber("short"), "");
}

TEST(StoreNamesTest, PathConversionsChangeOnlyTheExtension) {
    EXPECT_EQ(StoreNames::infoPath("/a/x.vmdat"), fs::path("/a/x.vminf"));
    EXPECT_EQ(StoreNames::infoPath("/a/x.aac"), fs::path("/a/x.vminf"));
    EXPECT_EQ(StoreNames::infoPath("/a/X.AAC"), fs::path("/a/X.vminf"));
    EXPECT_EQ(StoreNames::voicePath("/a/x.vminf"), fs::path("/a/x.aac"));
    EXPECT_EQ(StoreNames::voicePath("/a/x.vmdat"), fs::path("/a/x.aac"));
    EXPECT_EQ(StoreNames::voicePath("/b.vminf/x.vminf"), fs::path("/b.vminf/x.aac"));
    EXPECT_EQ(StoreNames::infoPath("/a/notes.txt"), fs::path("/a/notes.txt"));
    EXPECT_EQ(StoreNames::stem("202401050930_FRI_0101_00001.vminf"), "202401050930_FRI_0101_00001");
}

TEST(StoreNamesTest, DatedDownloadFolderCountsUpUnderTheSameBase) {
    test::TempDir base;
    const LocalTime now = LocalTime::make(2024, 1, 5, 9, 30, 12);
    EXPECT_EQ(StoreNames::nextDlFolderName(base.path(), now), "DL_202401050930");
    fs::create_directory(base / "DL_202401050930");
    EXPECT_EQ(StoreNames::nextDlFolderName(base.path(), now), "DL_202401050930(1)");
    fs::create_directory(base / "DL_202401050930(1)");
    EXPECT_EQ(StoreNames::nextDlFolderName(base.path(), now), "DL_202401050930(2)");
}

TEST(StoreNamesTest, BackupMonthsCrossTheYear) {
    using Names = std::array<std::string, 6>;
    EXPECT_EQ(StoreNames::backupFolderNames(LocalTime::make(2024, 1, 15)),
              (Names{"BU_202311", "BU_202312", "BU_202401", "BU_2024", "BU_2023", "BU_ALL"}));
    EXPECT_EQ(StoreNames::backupFolderNames(LocalTime::make(2024, 2, 1)),
              (Names{"BU_202312", "BU_202401", "BU_202402", "BU_2024", "BU_2023", "BU_ALL"}));
    EXPECT_EQ(StoreNames::backupFolderNames(LocalTime::make(2024, 12, 31))[0], "BU_202410");
}

TEST(StoreNamesTest, RequestListNameCarriesTheMomentAndTheKind) {
    const LocalTime now = LocalTime::make(2024, 1, 5, 9, 30, 12, 45);
    EXPECT_EQ(StoreNames::requestListPath("/box", now, true),
              fs::path("/box/202401050930120045_FRI.datco"));
    EXPECT_EQ(StoreNames::requestListPath("/box", now, false).filename(),
              "202401050930120045_FRI.infco");
}

TEST(StoreNamesTest, StoreNeedsBothBoxKinds) {
    test::TempDir store;
    EXPECT_FALSE(StoreNames::isStore(store.path()));
    fs::create_directories(store / "rusuroku" / "0101");
    fs::create_directories(store / "rusuroku" / "0102");
    std::ofstream(store / "rusuroku" / "stray.txt") << "x";
    EXPECT_FALSE(StoreNames::isStore(store.path()));
    fs::create_directories(store / "naisen" / "200");
    EXPECT_TRUE(StoreNames::isStore(store.path()));
    EXPECT_EQ(StoreNames::boxFolders(store.path()).size(), 3u);
    EXPECT_EQ(StoreNames::boxFolders(store.path()).back(), store / "naisen" / "200");
}

}  // namespace
}  // namespace orven
