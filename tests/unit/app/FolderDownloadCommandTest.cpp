#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "CommandFixture.h"
#include "app/FolderDownloadCommand.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Result = FolderDownloadCommand::Result;

class FolderDownloadCommandTest : public CommandTest {
  protected:
    void expectQuestion(int answer) {
        ui.expectMessage(text::fill(text::kDownloadConfirm, store().string()), answer)
            .title(std::string(text::kDownloadConfirmTitle))
            .buttons(Buttons::YesNo)
            .icon(Icon::Question);
    }
    void expectError(std::string_view text) {
        ui.expectMessage(std::string(text), IdOk).title(std::string(text::kErrorTitle));
    }
    Result run() { return FolderDownloadCommand(*context).run(store()); }
    // The box folders the main unit serves, as "kind/box".
    std::vector<std::string> mainUnitBoxes() const {
        std::vector<std::string> boxes;
        for (const char* kind : {"rusuroku", "naisen"}) {
            for (const auto& entry : fs::directory_iterator(dir / "root" / kind)) {
                boxes.push_back(std::string(kind) + "/" + entry.path().filename().string());
            }
        }
        return boxes;
    }
    static std::string make(const fs::path& folder) {
        return ProfileFile(folder / "inf.ini").getString("INF", "MAKE", "none");
    }
    // The session is as the command found it: worker let go, no cancel pending.
    void expectSessionReleased() {
        ui.verifyAllAnswered();
        EXPECT_FALSE(session->worker().foregroundJob());
        EXPECT_EQ(session->cancelFlag().load(), 0);
    }
};

TEST_F(FolderDownloadCommandTest, NoDoesNothingYesBuildsABoxFolderPerMainUnitBox) {
    startMainUnit();
    logIn();
    expectQuestion(IdNo);
    EXPECT_EQ(run(), Result::Declined);
    EXPECT_FALSE(fs::exists(store()));
    EXPECT_TRUE(ui.progresses().empty());
    expectSessionReleased();

    expectQuestion(IdYes);
    ui.expectMessage(std::string(text::kFolderDownloadDone), IdOk)
        .title(std::string(text::kDownloadDoneTitle))
        .icon(Icon::Information);
    EXPECT_EQ(run(), Result::Done);
    const std::vector<std::string> boxes = mainUnitBoxes();
    ASSERT_GT(boxes.size(), 2u);
    for (const std::string& box : boxes) {
        EXPECT_EQ(make(store() / box), "0") << box;
    }
    EXPECT_EQ(make(store() / "outou"), "0");
    const ProgressRecord& progress = ui.progresses().at(0);
    EXPECT_EQ(progress.text, text::kProgressDownloadingFolders);
    EXPECT_EQ(progress.percents, (std::vector<int>{20, 40, 60, 100}));
    EXPECT_TRUE(progress.hasCancel && progress.closed);
    expectSessionReleased();
}

TEST_F(FolderDownloadCommandTest, CancelRemovesOnlyTheBoxFoldersThisRunMade) {
    startMainUnit();
    logIn();
    const std::vector<std::string> boxes = mainUnitBoxes();
    const fs::path kept = store() / boxes.front();
    const fs::path own = store() / "naisen" / "mine";
    for (const fs::path& folder : {kept, own}) {
        fs::create_directories(folder);
        std::ofstream(folder / "note.txt") << "keep";
    }
    expectQuestion(IdYes);
    ui.cancelProgressAtPercent(60);
    EXPECT_EQ(run(), Result::Cancelled);
    EXPECT_TRUE(fs::exists(kept / "note.txt") && fs::exists(own / "note.txt"));
    EXPECT_EQ(make(kept), "none");
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        EXPECT_FALSE(fs::exists(store() / boxes[i])) << boxes[i];
    }
    expectSessionReleased();
}

TEST_F(FolderDownloadCommandTest, UnreadableBoxListIsACommunicationError) {
    for (const bool loggedIn : {false, true}) {
        SCOPED_TRACE(loggedIn ? "list cut off" : "not logged in");
        fs::remove_all(dir / "root");
        ASSERT_NO_FATAL_FAILURE(startMainUnit());
        if (loggedIn) {
            logIn();
            server->setFaults({.dropControlAfterCommands = 1});
        }
        expectQuestion(IdYes);
        expectError(text::kCommunicationError);
        EXPECT_EQ(run(), Result::ListFailed);
        EXPECT_FALSE(fs::exists(store()));
        expectSessionReleased();
    }
}

TEST_F(FolderDownloadCommandTest, UnusableFolderIsToldUnlessTheAccessCheckAskedAlready) {
    startMainUnit(false);
    logIn();
    for (const bool accessRefused : {true, false}) {
        SCOPED_TRACE(accessRefused ? "access check refused" : "a file in the folder's place");
        expectQuestion(IdYes);
        int checks = 0;
        if (accessRefused) {
            context->folderCheck = [&checks] { return ++checks == 0; };
        } else {
            context->folderCheck = {};
            std::ofstream(store()) << "in the way";
            expectError(text::kDownloadLocalFailure);
        }
        EXPECT_EQ(run(), Result::Unreachable);
        EXPECT_EQ(checks, accessRefused ? 1 : 0);  // one question about the folder is enough
        expectSessionReleased();
    }
}

TEST_F(FolderDownloadCommandTest, WizardAsksByWhatTheFolderHoldsAndKeepsTheWorkerHeld) {
    struct Case {
        std::vector<const char*> subfolders;
        std::string_view question, title;
    };
    const std::vector<Case> cases{
        {{}, text::kFolderPageMakeFolders, text::kFolderDownloadTitle},
        {{"rusuroku"}, text::kFolderPageMakeFolders, text::kFolderDownloadTitle},
        {{"old_rusuroku", "naisen2"}, text::kFolderPageIntoStore, text::kFolderPageTitle},
    };
    startMainUnit();
    logIn();
    session->pauseWorker(true);  // as the wizard does for its whole run
    for (const Case& c : cases) {
        const fs::path folder = dir / ("page" + std::to_string(c.subfolders.size()));
        for (const char* sub : c.subfolders) {
            fs::create_directories(folder / sub);
        }
        ui.expectMessage(std::string(c.question), IdNo).title(std::string(c.title));
        EXPECT_EQ(FolderDownloadCommand(*context).runForWizard(folder), Result::Declined);
    }
    // Yes builds the tree with neither progress nor completion text.
    ui.expectMessage(std::string(text::kFolderPageIntoStore), IdYes);
    EXPECT_EQ(FolderDownloadCommand(*context).runForWizard(dir / "page2"), Result::Done);
    EXPECT_EQ(make(dir / "page2" / mainUnitBoxes().front()), "0");
    EXPECT_TRUE(ui.progresses().empty());
    EXPECT_TRUE(session->worker().foregroundJob());
    session->endForegroundJob();
}

}  // namespace
}  // namespace orven::test
