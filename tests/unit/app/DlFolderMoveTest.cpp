#include "app/DlFolderMove.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/ManualClock.h"
#include "resources/Texts.h"
#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Result = DlFolderMove::Result;
using Tree = std::map<std::string, std::string>;  // relative path: bytes, or "/" for a folder

const std::string kStamp = "DL_202603040905";
const std::vector<std::string> kKept = {"rusuroku/101/inf.ini", "naisen/201/inf.ini",
                                        "outou/20260304090200_0001_0001.vminf"};
const std::vector<std::string> kMessages = {"rusuroku/101/202603040900000_A101_0001.vminf",
                                            "rusuroku/101/202603040900000_A101_0001.aac",
                                            "naisen/201/202603040901000_A201_0001.vminf"};

Tree treeOf(const fs::path& folder) {
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        tree[entry.path().lexically_relative(folder).generic_string()] =
            entry.is_directory() ? "/" : readFile(entry.path());
    }
    return tree;
}

// A data folder with the store "store": two boxes with settings and messages, an empty box
// and (unless left out) a response message; a clock at 2026-03-04 09:05:59.
struct MoveWorld {
    explicit MoveWorld(bool withResponses = true) {
        context.ui = &ui;
        context.clock = &clock;
        context.fileSystem = &files;
        for (const std::string& file : kMessages) {
            writeFile(store / file, file);
        }
        for (const std::string& file : kKept) {
            if (withResponses || !file.starts_with("outou")) {
                writeFile(store / file, file);
            }
        }
        fs::create_directories(store / "naisen/202");
    }
    Result move() { return DlFolderMove(context).MoveToDlFolder(base, "store", kStamp); }

    TempDir dir;
    ScriptedUi ui;
    ManualClock clock{LocalTime::make(2026, 3, 4, 9, 5, 59)};
    FakeFileSystem files;
    StoreContext context;
    fs::path base = dir / "data";
    fs::path store = base / "store";
};

TEST(DlFolderMoveTest, MovesEverythingAndGivesTheStoreBackItsBoxesAndResponses) {
    for (const bool withResponses : {true, false}) {
        SCOPED_TRACE(withResponses ? "with responses" : "without responses");
        MoveWorld w(withResponses);
        Tree expectedStore = treeOf(w.store);
        const Tree before = expectedStore;
        for (const std::string& file : kMessages) {
            expectedStore.erase(file);
        }

        EXPECT_EQ(w.move(), withResponses ? Result::Moved : Result::MoveFailed);

        EXPECT_EQ(treeOf(w.base / kStamp), before);
        EXPECT_EQ(treeOf(w.store), expectedStore);
        ASSERT_EQ(w.ui.progresses().size(), 1u);
        EXPECT_EQ(w.ui.progresses()[0].text, text::kProgressRollOver);
        const std::vector<int> steps = {30, 50, 70, 100};
        EXPECT_EQ(w.ui.progresses()[0].percents,
                  std::vector<int>(steps.begin(), steps.end() - (withResponses ? 0 : 1)));
        EXPECT_TRUE(w.ui.progresses()[0].closed);
        // The next move within the same minute.
        EXPECT_EQ(DlFolderMove(w.context).NextDlFolderName(w.base), kStamp + "(1)");
    }
}

TEST(DlFolderMoveTest, AMoveThatCannotStartChangesNothing) {
    struct Case {
        const char* name;
        void (*arrange)(MoveWorld&);
        Result expected;
    };
    const Case cases[] = {
        {"too little room",
         [](MoveWorld& w) {
             w.files.setFreeSpace(w.base, 10);
             w.ui.expectMessage(std::string(text::kDownloadNoSpace), IdOk)
                 .title(std::string(text::kErrorTitle));
         },
         Result::NoRoom},
        {"unreachable", [](MoveWorld& w) { w.context.folderAccessCheck = [] { return false; }; },
         Result::Unreachable},
        {"name taken meanwhile", [](MoveWorld& w) { fs::create_directories(w.base / kStamp); },
         Result::MoveFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveWorld w;
        c.arrange(w);
        const Tree arranged = treeOf(w.base);
        EXPECT_EQ(w.move(), c.expected);
        EXPECT_EQ(treeOf(w.base), arranged);
        w.ui.verifyAllAnswered();
    }
}

// Nothing is written for an empty store: a volume that cannot tell its room does not stop it.
TEST(DlFolderMoveTest, AnEmptyStoreMovesWhateverTheVolumeSays) {
    TempDir dir;
    fs::create_directories(dir / "store/outou");
    StoreContext context;
    FakeFileSystem files;
    files.setFreeSpace(dir.path(), std::nullopt);
    context.fileSystem = &files;
    EXPECT_EQ(DlFolderMove(context).MoveToDlFolder(dir.path(), "store", "DL_1"), Result::Moved);
    EXPECT_EQ(treeOf(dir / "store"), treeOf(dir / "DL_1"));
}

}  // namespace
}  // namespace orven::test
