#include "app/FolderDeletion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CommandFixture.h"
#include "resources/Texts.h"
#include "support/FileBytes.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using Result = FolderDeletion::Result;
using test::readFile;
using test::writeFile;

// A download folder "dl/box" with one message; the access check records whether the worker
// was held when it ran.
class FolderDeletionTest : public test::CommandTest {
  protected:
    FolderDeletionTest() {
        offline();
        writeFile(folder / "rusuroku" / "001" / "m.wav", "voice");
        context->folderCheck = [this] {
            heldDuringCheck = session->worker().foregroundJob();
            return usable;
        };
        deletion.emplace(*context, [this] { return suffix++; });
    }

    // The questions of the temporary or the permanent deletion, as many as there are answers.
    void expectQuestions(bool permanent, const std::vector<int>& answers) {
        const std::pair<std::string_view, std::string_view> questions[] = {
            permanent ? std::pair{text::kDeleteConfirm, text::kDeleteConfirmTitle}
                      : std::pair{text::kHoldConfirm, text::kHoldConfirmTitle},
            {text::kDeleteReconfirm, text::kDeleteReconfirmTitle}};
        for (std::size_t i = 0; i < answers.size(); ++i) {
            ui.expectMessage(std::string(questions[i].first), answers[i])
                .title(std::string(questions[i].second))
                .buttons(Buttons::YesNo)
                .icon(Icon::Question);
        }
    }
    void expectError(std::string_view text) {
        ui.expectMessage(std::string(text), IdOk)
            .title(std::string(text::kErrorTitle))
            .icon(Icon::Exclamation);
    }
    // Holds the folder at dl/<name> without asking.
    HoldingFolder::Entry held(const std::string& name) {
        writeFile(dir / "dl" / name / "m.wav", name);
        expectQuestions(false, {IdYes});
        EXPECT_EQ(deletion->deleteTemporarily(dir / "dl" / name), Result::Done);
        return deletion->heldFolders().back();
    }
    // The deletion progress was shown and closed, with the worker held meanwhile and let go
    // afterwards.
    void expectDeletionFrame() {
        ASSERT_EQ(ui.progresses().size(), 1u);
        EXPECT_EQ(ui.progresses()[0].title, text::kProgressDeleting);
        EXPECT_EQ(ui.progresses()[0].text, text::kProgressDeletingFolder);
        EXPECT_TRUE(ui.progresses()[0].closed);
        EXPECT_TRUE(heldDuringCheck);
        EXPECT_FALSE(session->worker().foregroundJob());
        EXPECT_FALSE(session->worker().pauseRequested());
    }

    fs::path folder = dir / "dl" / "box";
    bool usable = true;
    bool heldDuringCheck = false;
    unsigned suffix = 0x10;
    std::optional<FolderDeletion> deletion;
};

TEST_F(FolderDeletionTest, TemporaryDeletionKeepsTheFolderForRestoring) {
    expectQuestions(false, {IdYes});
    ASSERT_EQ(deletion->deleteTemporarily(folder), Result::Done);

    expectDeletionFrame();
    EXPECT_FALSE(fs::exists(folder));
    ASSERT_EQ(deletion->heldFolders().size(), 1u);
    EXPECT_EQ(deletion->heldFolders()[0].orgPath, folder.string());
    EXPECT_EQ(readFile(dir / "holding" / "box_00010" / "rusuroku" / "001" / "m.wav"), "voice");
}

TEST_F(FolderDeletionTest, DeclinedOrUnreachableDeletionLeavesTheFolder) {
    struct Case {
        const char* what;
        bool permanent;
        std::vector<int> answers;
        bool reachable;
        Result result;
    };
    const std::vector<Case> cases = {
        {"temporary, No", false, {IdNo}, true, Result::Declined},
        {"temporary, unreachable", false, {IdYes}, false, Result::Unreachable},
        {"permanent, No first", true, {IdNo}, true, Result::Declined},
        {"permanent, No second", true, {IdYes, IdNo}, true, Result::Declined},
        {"permanent, unreachable", true, {IdYes, IdYes}, false, Result::Unreachable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectQuestions(c.permanent, c.answers);
        usable = c.reachable;
        EXPECT_EQ(
            c.permanent ? deletion->deletePermanently(folder) : deletion->deleteTemporarily(folder),
            c.result);
        ui.verifyAllAnswered();
        EXPECT_EQ(readFile(folder / "rusuroku" / "001" / "m.wav"), "voice");
        EXPECT_FALSE(fs::exists(dir / "holding" / "box_00010"));
        EXPECT_TRUE(ui.progresses().empty());
        EXPECT_FALSE(session->worker().foregroundJob());
    }
}

TEST_F(FolderDeletionTest, PermanentDeletionAfterTwoYesRemovesEverything) {
    expectQuestions(true, {IdYes, IdYes});
    ASSERT_EQ(deletion->deletePermanently(folder), Result::Done);

    expectDeletionFrame();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(deletion->heldFolders().empty());
}

TEST_F(FolderDeletionTest, FolderThatCannotBeHeldIsReported) {
    expectQuestions(false, {IdYes});
    expectError(text::kSomeFilesNotDeleted);
    EXPECT_EQ(deletion->deleteTemporarily(dir / "dl" / "missing"), Result::Failed);
    expectDeletionFrame();
}

TEST_F(FolderDeletionTest, RestoreBringsBackWhatItCanAndReportsTheRestOnce) {
    const HoldingFolder::Entry a = held("a");
    const HoldingFolder::Entry b = held("b");
    const HoldingFolder::Entry c = held("c");
    writeFile(dir / "dl" / "a" / "m.wav", "made again");
    writeFile(dir / "dl" / "c" / "m.wav", "made again");

    expectError(text::kRestoreFailed);
    EXPECT_EQ(deletion->restore({a, b, c}), Result::Failed);

    EXPECT_EQ(readFile(dir / "dl" / "a" / "m.wav"), "made again");
    EXPECT_EQ(readFile(dir / "dl" / "b" / "m.wav"), "b");
    const std::vector<HoldingFolder::Entry> left = deletion->heldFolders();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].orgPath, a.orgPath);
    EXPECT_EQ(left[1].orgPath, c.orgPath);

    fs::remove_all(dir / "dl" / "a");
    usable = false;
    EXPECT_EQ(deletion->restore({left[0]}), Result::Unreachable);
    EXPECT_FALSE(fs::exists(dir / "dl" / "a"));
    usable = true;
    EXPECT_EQ(deletion->restore({left[0]}), Result::Done);
    EXPECT_EQ(readFile(dir / "dl" / "a" / "m.wav"), "a");
}

}  // namespace
}  // namespace orven
