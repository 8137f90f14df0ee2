#include <string>
#include <vector>

#include "CommandFixture.h"
#include "app/DownloadWizard.h"
#include "resources/Texts.h"

namespace orven::test {
namespace {

class DownloadWizardTest : public CommandTest {
  protected:
    // Pages that answer as told and record what was shown.
    DownloadWizard::Pages pages() {
        DownloadWizard::Pages pages;
        pages.logIn = [this] {
            shown.push_back("logIn");
            return false;
        };
        pages.chooseFolder = [this] {
            shown.push_back("chooseFolder");
            if (chooseGives.empty()) {
                return false;
            }
            doc.dataFolder = (dir / "chosen").string() + "/";
            doc.currentFolderName = chooseGives;
            return true;
        };
        pages.folderPage = [this] {
            shown.push_back("folderPage");
            return folderPageBuilds;
        };
        pages.takeFolder = [this] { shown.push_back("takeFolder"); };
        pages.wayPage = [this] {
            shown.push_back("wayPage");
            return way;
        };
        pages.bulkDialog = [this] {
            shown.push_back("bulk");
            return false;
        };
        pages.chosenDialog = [this] {
            shown.push_back("chosen");
            return false;
        };
        return pages;
    }

    DownloadWizard::Outcome run() {
        return DownloadWizard(*context, {[] { return 0; }, [] {}}, pages()).run();
    }

    void expectFolderBuilt(int answer) {
        ui.expectCustom(std::string(text::kFolderDownloadDone), answer)
            .title(std::string(text::kDownloadDoneTitle));
    }
    void expectEnd(int answer) {
        ui.expectCustom(std::string(text::kWizardEnd), answer)
            .title(std::string(text::kWizardEndTitle))
            .buttonSet(5);
    }

    std::vector<std::string> shown;
    std::string chooseGives;
    bool folderPageBuilds = false;
    int way = 0;
};

TEST_F(DownloadWizardTest, CancelledLogInEndsWithoutQuestions) {
    offline();
    EXPECT_EQ(run(), DownloadWizard::Outcome::NotLoggedIn);
    EXPECT_EQ(shown, std::vector<std::string>{"logIn"});
    EXPECT_FALSE(session->worker().foregroundJob());
}

// Each way through the pages: what is shown, where the store ends up.
TEST_F(DownloadWizardTest, PagesFollowTheAnswersAndAbandoningPutsTheFolderBack) {
    struct Case {
        const char* name;
        const char* openFolder;  // current folder name before; "" = none
        const char* chooseGives;
        bool folderPageBuilds;
        int builtAnswer;  // the answer to "フォルダのダウンロードが正常に…"; 0 = not shown
        int way;
        std::vector<std::string> shown;
        const char* folderAfter;
    };
    const std::vector<Case> cases = {
        {"folder page cancelled", "store", "", false, 0, 0, {"folderPage"}, "store"},
        {"no folder, browser cancelled", "", "", false, 0, 0, {"chooseFolder"}, ""},
        {"chosen folder, page cancelled: put back",
         "",
         "new",
         false,
         0,
         0,
         {"chooseFolder", "folderPage"},
         ""},
        {"built, completion box closed: put back",
         "",
         "new",
         true,
         CustomBox::Closed,
         0,
         {"chooseFolder", "folderPage"},
         ""},
        {"built, way page cancelled: the folder stays",
         "",
         "new",
         true,
         CustomBox::Second,
         0,
         {"chooseFolder", "folderPage", "takeFolder", "wayPage"},
         "new"},
        {"bulk",
         "store",
         "",
         true,
         CustomBox::Second,
         DownloadWizard::kBulk,
         {"folderPage", "takeFolder", "wayPage", "bulk"},
         "store"},
        {"chosen boxes",
         "store",
         "",
         true,
         CustomBox::Second,
         DownloadWizard::kChosen,
         {"folderPage", "takeFolder", "wayPage", "chosen"},
         "store"},
    };
    startMainUnit(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        logIn();
        shown.clear();
        doc.currentFolderName = c.openFolder;
        const std::string dataBefore = doc.dataFolder.str();
        chooseGives = c.chooseGives;
        folderPageBuilds = c.folderPageBuilds;
        way = c.way;
        if (c.builtAnswer != 0) {
            expectFolderBuilt(c.builtAnswer);
        }
        expectEnd(CustomBox::First);
        EXPECT_EQ(run(), DownloadWizard::Outcome::StayedLoggedIn);
        ui.verifyAllAnswered();
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(doc.currentFolderName.str(), c.folderAfter);
        if (std::string(c.folderAfter).empty() || std::string(c.openFolder) == c.folderAfter) {
            EXPECT_EQ(doc.dataFolder.str(), dataBefore);
        }
        EXPECT_TRUE(session->loggedIn());
        EXPECT_FALSE(session->worker().foregroundJob());
    }
}

TEST_F(DownloadWizardTest, EndQuestionLogsOutOrIsSkippedWhenTheLinkWasLost) {
    startMainUnit(false);
    logIn();
    expectEnd(CustomBox::Second);
    EXPECT_EQ(run(), DownloadWizard::Outcome::LoggedOut);
    EXPECT_FALSE(session->loggedIn());

    // A download that lost the link logged out: "現在ログイン状態です" would be untrue.
    logIn();
    folderPageBuilds = true;
    way = DownloadWizard::kBulk;
    expectFolderBuilt(CustomBox::Second);
    auto wizardPages = pages();
    wizardPages.bulkDialog = [this] {
        session->logOut();
        return false;
    };
    EXPECT_EQ(DownloadWizard(*context, {[] { return 0; }, [] {}}, wizardPages).run(),
              DownloadWizard::Outcome::LoggedOut);
    ui.verifyAllAnswered();
    EXPECT_FALSE(session->worker().foregroundJob());
}

}  // namespace
}  // namespace orven::test
