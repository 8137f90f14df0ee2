#include "store/RequestList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ManualClock.h"
#include "support/FakeFileSystem.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

StoreContext withClock(const Clock& clock) {
    StoreContext context;
    context.clock = &clock;
    return context;
}

class RequestListTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    ManualClock clock{LocalTime::make(2024, 1, 5, 9, 30, 12, 45)};
    StoreContext context = withClock(clock);
};

TEST_F(RequestListTest, TwoNamesGiveTheGoldenBytes) {
    const std::string first = "202401050930_FRI_0101_00001.vmdat";
    const std::string second = "202401050931_FRI_0101_00002.vmdat";
    const fs::path list =
        RequestList::WriteRequestList(context, {"  " + first + "\t", second}, dir.path(), true);
    ASSERT_EQ(list, dir / "202401050930120045_FRI.datco");

    std::string golden(144, '\0');
    golden[3] = 2;
    golden.replace(16, first.size(), first);
    golden.replace(80, second.size(), second);
    EXPECT_EQ(contents(list), golden);
}

TEST_F(RequestListTest, NamesAreMeasuredInCp932AndNeverCut) {
    std::string kanji;  // "あ" is 3 bytes in UTF-8 but 2 in CP932
    for (int i = 0; i < 31; ++i) {
        kanji += "\xE3\x81\x82";
    }
    const fs::path fits = RequestList::WriteRequestList(
        context, {kanji + "x", std::string(63, 'a')}, dir.path(), false);
    EXPECT_EQ(fits.filename(), "202401050930120045_FRI.infco");
    EXPECT_EQ(contents(fits).substr(16, 3), "\x82\xA0\x82");
    fs::remove(fits);

    EXPECT_TRUE(
        RequestList::WriteRequestList(context, {"ok", kanji + "\xE3\x81\x82"}, dir.path(), false)
            .empty());
    EXPECT_TRUE(
        RequestList::WriteRequestList(context, {std::string(64, 'a')}, dir.path(), true).empty());
    EXPECT_TRUE(filesIn(dir.path()).empty());
}

TEST_F(RequestListTest, NothingIsWrittenWhenAccessTheFolderOrTheWriteFails) {
    context.folderAccessCheck = [] { return false; };
    EXPECT_TRUE(RequestList::WriteRequestList(context, {"a"}, dir.path(), true).empty());
    context.folderAccessCheck = nullptr;
    EXPECT_TRUE(RequestList::WriteRequestList(context, {"a"}, dir / "missing", true).empty());
    test::FakeFileSystem fileSystem;
    fileSystem.setWritesFail(dir.path());
    context.fileSystem = &fileSystem;
    EXPECT_TRUE(RequestList::WriteRequestList(context, {"a"}, dir.path(), true).empty());
    EXPECT_EQ(fileSystem.writes(), 1);
    EXPECT_TRUE(filesIn(dir.path()).empty());
}

TEST_F(RequestListTest, CleanUpTakesOnlyRequestListsOfTheFolder) {
    for (const char* name : {"1.datco", "2.infco", "m.vminf", "x.infco.txt", "notes.disco"}) {
        std::ofstream(dir / name) << "x";
    }
    fs::create_directories(dir / "d.datco");
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "sub" / "3.datco") << "x";

    EXPECT_EQ(RequestList::DeleteRequestLists(dir / "m.vminf"), 1);
    const std::vector<std::string> kept = {"d.datco", "m.vminf", "notes.disco", "sub",
                                           "x.infco.txt"};
    EXPECT_EQ(filesIn(dir.path()), kept);
    EXPECT_EQ(RequestList::DeleteRequestLists((dir / "sub").string() + "/"), 1);
    EXPECT_TRUE(filesIn(dir / "sub").empty());
    EXPECT_EQ(RequestList::DeleteRequestLists(""), 0);
    EXPECT_EQ(RequestList::DeleteRequestLists("bare.datco"), 0);
}

}  // namespace
}  // namespace orven
