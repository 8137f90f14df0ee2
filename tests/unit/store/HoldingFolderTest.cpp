#include "store/HoldingFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/ProfileFile.h"
#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using Result = HoldingFolder::Result;

// Download folders under "dl", the holding folder "data/tmp"; the suffixes come from a queue
// (then 0x100, 0x101, ...).
class HoldingFolderTest : public ::testing::Test {
  protected:
    fs::path makeFolder(const fs::path& relative, const std::string& content = "voice") {
        const fs::path folder = dir / "dl" / relative;
        writeFile(folder / "rusuroku" / "001" / "m.wav", content);
        return folder;
    }
    std::string content(const fs::path& folder) const {
        return readFile(folder / "rusuroku" / "001" / "m.wav");
    }
    ProfileFile profile() const { return ProfileFile(holding.recordPath()); }
    std::string kept(const std::string& name) const {
        return (dir / "data" / "tmp" / name).string();
    }

    test::TempDir dir;
    StoreContext context;
    std::deque<unsigned> suffixes;
    unsigned next = 0x100;
    HoldingFolder holding{context, dir / "data" / "tmp", [this] {
                              if (suffixes.empty()) {
                                  return next++;
                              }
                              const unsigned value = suffixes.front();
                              suffixes.pop_front();
                              return value;
                          }};
};

TEST_F(HoldingFolderTest, FoldersOfOneNameGetTheirOwnSuffixesAndACp932Record) {
    const fs::path first = makeFolder("a/留守録", "first");
    const fs::path second = makeFolder("b/留守録", "second");
    suffixes = {0x1a2b, 0x1a2b, 0x3beef};  // a clash, then only 16 bits count

    ASSERT_EQ(holding.hold(first), Result::Done);
    ASSERT_EQ(holding.hold(second), Result::Done);

    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(content(kept("留守録_01a2b")), "first");
    EXPECT_EQ(content(kept("留守録_0beef")), "second");
    const std::string expected = "[COUNT]\r\nCOUNT=2\r\n[FOLDER1]\r\nOrgPath=" + first.string() +
                                 "\r\nDstPath=" + kept("留守録_01a2b") +
                                 "\r\n[FOLDER2]\r\nOrgPath=" + second.string() +
                                 "\r\nDstPath=" + kept("留守録_0beef") + "\r\n";
    const std::string bytes = readFile(holding.recordPath());
    EXPECT_EQ(bytes, CodePage::utf8ToCp932(expected));
    EXPECT_NE(bytes.find("\x97\xaf\x8e\xe7\x98\x5e_0beef"), std::string::npos);  // 留守録 in CP932
    ASSERT_EQ(holding.entries().size(), 2u);
    EXPECT_EQ(holding.entries()[1].dstPath, kept("留守録_0beef"));
}

TEST_F(HoldingFolderTest, FolderThatCannotBeKeptStaysWhereItIsAndTheRecordUnchanged) {
    test::FakeFileSystem files;
    struct Case {
        const char* what;
        fs::path folder;
        std::function<void()> setUp;
    };
    const std::vector<Case> cases = {
        {"missing folder", dir / "dl" / "gone", [] {}},
        {"name CP932 cannot hold", makeFolder("Müller"), [] {}},
        {"name with a line break", makeFolder("two\nlines"), [] {}},
        {"every suffix taken", makeFolder("taken"),
         [&] {
             suffixes.assign(HoldingFolder::kNameTries, 7);
             fs::create_directories(kept("taken_00007"));
         }},
        {"record full", makeFolder("full"),
         [&] {
             writeFile(holding.recordPath(),
                       "[COUNT]\r\nCOUNT=" + std::to_string(HoldingFolder::kMaxSections) + "\r\n");
         }},
        // Moved, then put back because the record could not be written.
        {"record cannot be written", makeFolder("unwritten"),
         [&] {
             context.fileSystem = &files;
             files.setWritesFail(dir / "data" / "tmp");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(holding.recordPath(), "[COUNT]\r\nCOUNT=0\r\n");
        c.setUp();
        const std::string before = readFile(holding.recordPath());
        EXPECT_EQ(holding.hold(c.folder), Result::NotMoved);
        EXPECT_EQ(readFile(holding.recordPath()), before);
        EXPECT_EQ(content(c.folder), fs::exists(c.folder) ? "voice" : "");
    }
}

TEST_F(HoldingFolderTest, RestoringTheFirstOfThreeRenumbersTheRest) {
    const std::vector<fs::path> folders = {makeFolder("x/one", "1"), makeFolder("x/two", "2"),
                                           makeFolder("x/three", "3")};
    for (const fs::path& folder : folders) {
        ASSERT_EQ(holding.hold(folder), Result::Done);
    }
    const std::vector<HoldingFolder::Entry> before = holding.entries();
    ASSERT_EQ(before.size(), 3u);

    ASSERT_EQ(holding.restore(before[0]), Result::Done);

    EXPECT_EQ(content(folders[0]), "1");
    EXPECT_FALSE(fs::exists(before[0].dstPath));
    EXPECT_EQ(profile().getInt("COUNT", "COUNT", -1), 2);
    EXPECT_EQ(profile().getString("FOLDER3", "OrgPath", "none"), "none");
    const std::vector<HoldingFolder::Entry> after = holding.entries();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].section, 1);
    EXPECT_EQ(after[0].dstPath, before[1].dstPath);
    EXPECT_EQ(after[1].section, 2);
    EXPECT_EQ(after[1].dstPath, before[2].dstPath);

    // Entries read before the renumbering still find their folders.
    EXPECT_EQ(holding.restore(before[2]), Result::Done);
    EXPECT_EQ(holding.restore(before[1]), Result::Done);
    EXPECT_EQ(content(folders[2]), "3");
    EXPECT_TRUE(holding.entries().empty());
    EXPECT_EQ(profile().getInt("COUNT", "COUNT", -1), 0);
}

TEST_F(HoldingFolderTest, RestoreIsRefusedWithoutTouchingAnything) {
    struct Case {
        const char* what;
        std::function<void(HoldingFolder::Entry&)> setUp;
        bool keptStays;
    };
    const std::vector<Case> cases = {
        {"old place made again", [&](auto&) { makeFolder("p/box", "new"); }, true},
        // A plain rename would replace an empty folder silently.
        {"empty folder at the old place",
         [&](auto&) { fs::create_directories(dir / "dl" / "p" / "box"); }, true},
        {"folder above the old place gone", [&](auto&) { fs::remove_all(dir / "dl" / "p"); }, true},
        {"kept folder gone", [](auto& entry) { fs::remove_all(entry.dstPath); }, false},
        {"entry not recorded", [](auto& entry) { entry.dstPath += "x"; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = makeFolder("p/box");
        ASSERT_EQ(holding.hold(folder), Result::Done);
        HoldingFolder::Entry entry = holding.entries().back();
        const fs::path keptFolder = entry.dstPath;
        c.setUp(entry);
        const std::string record = readFile(holding.recordPath());
        const std::string there = content(folder);

        EXPECT_EQ(holding.restore(entry), Result::NotMoved);
        EXPECT_EQ(readFile(holding.recordPath()), record);
        EXPECT_EQ(content(folder), there);
        EXPECT_EQ(content(keptFolder), c.keptStays ? "voice" : "");
        fs::remove_all(dir / "dl" / "p");
    }
}

TEST_F(HoldingFolderTest, NamesThatReadingWouldAlterComeBackWhole) {
    for (const std::string name : {"blank at the end ", "\"quoted\"", "\t営業"}) {
        SCOPED_TRACE(name);
        const fs::path folder = makeFolder(name);
        ASSERT_EQ(holding.hold(folder), Result::Done);
        const HoldingFolder::Entry entry = holding.entries().back();
        EXPECT_EQ(entry.orgPath, folder.string());
        EXPECT_EQ(holding.restore(entry), Result::Done);
        EXPECT_EQ(content(folder), "voice");
    }
}

TEST_F(HoldingFolderTest, ReadsAHandMadeRecordAndRenumbersItsGaps) {
    EXPECT_TRUE(holding.entries().empty());  // no record: nothing held

    const fs::path back = makeFolder("back");
    fs::create_directories(dir / "data" / "tmp");
    fs::rename(back, kept("back_00001"));
    writeFile(holding.recordPath(),
              "[count]\r\nCount=3\r\n"
              "[FOLDER1]\r\nOrgPath=" +
                  back.string() + "\r\nDstPath=" + kept("back_00001") +
                  "\r\n"
                  "[FOLDER2]\r\nOrgPath=\r\nDstPath=/h/e\r\n"
                  "[FOLDER3]\r\nOrgPath=/half\r\n"
                  "[FOLDER5]\r\nOrgPath=/o/f\r\nDstPath=/h/f\r\n");

    // Empty OrgPath and sections beyond COUNT left out; a lone OrgPath is listed.
    const std::vector<HoldingFolder::Entry> entries = holding.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].section, 3);
    EXPECT_EQ(entries[1].dstPath, "");
    ASSERT_EQ(holding.restore(entries[0]), Result::Done);

    EXPECT_EQ(content(back), "voice");
    EXPECT_EQ(readFile(holding.recordPath()),
              "[COUNT]\r\nCOUNT=2\r\n"
              "[FOLDER1]\r\nOrgPath=\r\nDstPath=/h/e\r\n"
              "[FOLDER2]\r\nOrgPath=/o/f\r\nDstPath=/h/f\r\n");
}

}  // namespace
}  // namespace orven
