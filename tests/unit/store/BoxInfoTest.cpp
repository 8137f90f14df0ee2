#include "store/BoxInfo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;

class BoxInfoTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    StoreContext context;
    BoxInfo info{context};
    fs::path box = dir.path();
};

TEST_F(BoxInfoTest, NameWithBlanksIsWrittenInQuotesAsCp932AndReadBack) {
    ASSERT_EQ(info.SetBoxName(box, " 営業 "), 1);
    // 営業 in CP932 is 89 63 8B C6.
    EXPECT_NE(readFile(box / "inf.ini").find("NAME=\" \x89\x63\x8B\xC6 \""), std::string::npos);
    std::string name;
    EXPECT_EQ(info.GetBoxName(box, name), 1);
    EXPECT_EQ(name, " 営業 ");
}

TEST_F(BoxInfoTest, MissingFileReadsAsMadeByDownloadWithoutName) {
    std::string name = "stale";
    EXPECT_EQ(info.GetBoxName(box, name), 1);
    EXPECT_EQ(name, "");
    EXPECT_EQ(info.GetMakeState(box), 0);
    EXPECT_EQ(info.IsMakePending(box), 0);
}

TEST_F(BoxInfoTest, ReadsAFileWrittenByWindowsAndKeepsTwentyCharacters) {
    // 開発部 in CP932, CRLF line ends.
    writeFile(box / "inf.ini", "[INF]\r\nNAME=\"\x8A\x4A\x94\xAD\x95\x94\"\r\nMAKE=2\r\n");
    EXPECT_EQ(BoxInfo::ReadBoxName(box), "開発部");
    EXPECT_EQ(info.GetMakeState(box), 2);
    EXPECT_EQ(info.IsMakePending(box), 1);

    writeFile(box / "inf.ini", "[INF]\r\nNAME=\"abcdefghijklmnopqrstuvwxy\"\r\n");
    EXPECT_EQ(BoxInfo::ReadBoxName(box), "abcdefghijklmnopqrst");
}

TEST_F(BoxInfoTest, FailedAccessCheckTouchesNothing) {
    context.folderAccessCheck = [] { return false; };
    std::string name;
    EXPECT_EQ(info.GetBoxName(box, name), 0);
    EXPECT_EQ(info.SetBoxName(box, "x"), 0);
    EXPECT_EQ(info.SetMakeState(box, "1"), 0);
    EXPECT_EQ(info.GetMakeState(box), -1);
    EXPECT_EQ(info.IsMakePending(box), 0);
    EXPECT_FALSE(fs::exists(box / "inf.ini"));
}

TEST_F(BoxInfoTest, AutoDeleteIsLookedUpByKindAndBoxDirectory) {
    writeFile(box / "ORVEN.ini", "[rusuroku]\r\n0101=1\r\n[naisen]\r\n0101=0\r\n200=1\r\n");
    const ProfileFile settings(box / "ORVEN.ini");
    EXPECT_EQ(BoxInfo::IsAutoDeleteBox(settings, "/rusuroku/0101"), 1);
    EXPECT_EQ(BoxInfo::IsAutoDeleteBox(settings, "/naisen/0101"), 0);
    EXPECT_EQ(BoxInfo::IsAutoDeleteBox(settings, "/naisen/200"), 1);
    EXPECT_EQ(BoxInfo::IsAutoDeleteBox(settings, "/rusuroku/200"), 0);
    EXPECT_EQ(BoxInfo::IsAutoDeleteBox(settings, "/naisen/"), 0);
}

// As with the profile functions, a failed write is not reported; the old value stays.
TEST_F(BoxInfoTest, FailedWriteKeepsTheOldValues) {
    test::FakeFileSystem fileSystem;
    context.fileSystem = &fileSystem;
    ASSERT_EQ(info.SetBoxName(box, "Old"), 1);
    ASSERT_EQ(info.SetMakeState(box, "2"), 1);
    fileSystem.setWritesFail(box);
    EXPECT_EQ(info.SetBoxName(box, "New"), 1);
    EXPECT_EQ(info.SetMakeState(box, "0"), 1);
    EXPECT_EQ(fileSystem.writes(), 4);
    std::string name;
    EXPECT_EQ(info.GetBoxName(box, name), 1);
    EXPECT_EQ(name, "Old");
    EXPECT_EQ(info.GetMakeState(box), 2);
}

}  // namespace
}  // namespace orven
