#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "CommandFixture.h"
#include "app/DownloadChoice.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"
#include "store/BoxInfo.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Kind = DownloadChoice::Kind;
using Outcome = DownloadChoice::Outcome;

// The demo main unit's boxes, as box folders of the store.
const std::vector<std::string> kAnswering{"0101", "0102", "0103"};
const std::vector<std::string> kExtension{"200", "201", "305"};

// 0 for a folder that is not there.
int filesIn(const fs::path& folder, const std::string& extension) {
    std::error_code missing;
    return static_cast<int>(std::count_if(
        fs::directory_iterator(folder, missing), fs::directory_iterator(),
        [&](const fs::directory_entry& e) { return e.path().extension() == extension; }));
}

std::vector<BoxRow> rowsOf(const std::vector<std::string>& names, bool checked = false) {
    std::vector<BoxRow> rows;
    for (const std::string& name : names) {
        rows.push_back({name, checked});
    }
    return rows;
}

class DownloadChoiceTest : public CommandTest {
  protected:
    // A box folder of the store; make >= 0 writes that MAKE into its box information file.
    void boxFolder(const std::string& kind, const std::string& name, int make = -1) {
        const fs::path folder = store() / kind / name;
        fs::create_directories(folder);
        if (make >= 0) {
            BoxInfo::file(folder).writeInt(BoxInfo::kSection, BoxInfo::kMakeKey, make);
        }
    }
    void demoBoxFolders() {
        for (const std::string& name : kAnswering) {
            boxFolder("rusuroku", name, BoxInfo::kMadeByDownload);
        }
        for (const std::string& name : kExtension) {
            boxFolder("naisen", name, BoxInfo::kMadeByDownload);
        }
    }
    void expectConfirm(int answer) {
        ui.expectMessage(text::fill(text::kDownloadConfirm, store().string()), answer)
            .title(std::string(text::kDownloadConfirmTitle))
            .buttons(Buttons::YesNo)
            .icon(Icon::Question);
    }
    void expectError(std::string_view message) {
        ui.expectMessage(std::string(message), IdOk)
            .title(std::string(text::kErrorTitle))
            .icon(Icon::Exclamation);
    }
    void expectAutoDeleteQuestion(int answer) {
        ui.expectMessage(std::string(text::kAutoDeleteConfirm), answer)
            .title(std::string(text::kAutoDeleteConfirmTitle))
            .buttons(Buttons::YesNo);
    }
    std::string setting(const std::string& kind, const std::string& box) const {
        return settings.getString(kind, box, "absent");
    }

    DownloadChoice choice() { return DownloadChoice(*context); }
};

TEST_F(DownloadChoiceTest, BoxFoldersTheUserMadeAreOfferedNeitherForDownloadNorAutoDelete) {
    offline();
    boxFolder("rusuroku", "0102");  // no box information file: a main unit box
    boxFolder("rusuroku", "0101", BoxInfo::kMadeByDownload);
    boxFolder("rusuroku", "0999", BoxInfo::kMadeByUser);
    boxFolder("naisen", "200", BoxInfo::kMakePending);
    boxFolder("naisen", "mine", BoxInfo::kMadeByUser);
    std::ofstream(store() / "rusuroku" / "note.txt") << "not a box";
    for (const char* box : {"0999", "0102"}) {
        settings.writeInt("rusuroku", box, 1);
    }
    settings.writeInt("naisen", "mine", 1);

    const BoxRows download = choice().downloadRows();
    EXPECT_EQ(download.answering, (std::vector<BoxRow>{{"0101", false}, {"0102", false}}));
    EXPECT_EQ(download.extension, (std::vector<BoxRow>{{"200", false}}));
    const BoxRows autoDelete = choice().autoDeleteRows();
    EXPECT_EQ(autoDelete.answering, (std::vector<BoxRow>{{"0101", false}, {"0102", true}}));
    EXPECT_EQ(autoDelete.extension, (std::vector<BoxRow>{{"200", false}}));
    EXPECT_FALSE(choice().tellWhenEmpty(download));
    EXPECT_TRUE(ui.boxes().empty());

    for (const char* box : {"0101", "0102"}) {
        fs::remove_all(store() / "rusuroku" / box);
    }
    fs::remove_all(store() / "naisen" / "200");
    expectError(text::kNoBoxFolders);
    EXPECT_TRUE(choice().tellWhenEmpty(choice().downloadRows()));
}

TEST_F(DownloadChoiceTest, NoOrNothingCheckedRunsNothing) {
    offline();
    demoBoxFolders();
    const BoxRows rows = choice().downloadRows();
    expectConfirm(IdNo);
    EXPECT_EQ(choice().downloadChosen(Kind::InfoAndVoice, rows), Outcome::Declined);
    expectConfirm(IdYes);
    expectError(text::kNothingChosen);
    EXPECT_EQ(choice().downloadChosen(Kind::InfoAndVoice, rows), Outcome::NothingChosen);
    expectConfirm(IdNo);
    EXPECT_EQ(choice().downloadAll(Kind::InfoOnly), Outcome::Declined);
    EXPECT_TRUE(ui.progresses().empty());
    EXPECT_FALSE(session->worker().foregroundJob());
}

TEST_F(DownloadChoiceTest, OnlyTheCheckedBoxesAreDownloaded) {
    startMainUnit();
    logIn();
    const std::vector<std::pair<Kind, bool>> kinds{{Kind::InfoAndVoice, true},
                                                   {Kind::InfoOnly, false}};
    for (const auto& [kind, voice] : kinds) {
        SCOPED_TRACE(voice ? "information and voice" : "information only");
        fs::remove_all(store());
        demoBoxFolders();
        BoxRows rows = choice().downloadRows();
        rows.answering[1].checked = true;  // 0102
        rows.extension[1].checked = true;  // 201
        context->downloadCompleted = false;
        expectConfirm(IdYes);

        EXPECT_EQ(choice().downloadChosen(kind, rows), Outcome::Ran);

        ui.verifyAllAnswered();
        EXPECT_TRUE(context->downloadCompleted);
        EXPECT_TRUE(session->worker().foregroundJob());  // the download command lets it go
        for (const auto& [kindName, names] :
             {std::pair{"rusuroku", kAnswering}, std::pair{"naisen", kExtension}}) {
            for (const std::string& name : names) {
                const bool chosen = name == "0102" || name == "201";
                const fs::path local = store() / kindName / name;
                const int served = filesIn(dir / "root" / kindName / name, ".vminf");
                ASSERT_GT(served, 0);
                EXPECT_EQ(filesIn(local, ".vminf"), chosen ? served : 0) << kindName << name;
                EXPECT_EQ(filesIn(local, ".aac"), chosen && voice ? served : 0) << name;
            }
        }
        EXPECT_EQ(filesIn(store() / "outou", ".vminf"), 0);
    }
}

TEST_F(DownloadChoiceTest, AutoDeleteSettingsAreWrittenForEveryRowAndReadBack) {
    offline();
    demoBoxFolders();
    settings.writeInt("naisen", "305", 1);
    BoxRows rows = choice().autoDeleteRows();
    ASSERT_TRUE(rows.extension[2].checked);
    rows.answering[0].checked = true;
    rows.extension[2].checked = false;

    expectAutoDeleteQuestion(IdNo);
    EXPECT_FALSE(choice().saveAutoDelete(rows));
    EXPECT_EQ(setting("rusuroku", "0101"), "absent");
    EXPECT_EQ(setting("naisen", "305"), "1");

    expectAutoDeleteQuestion(IdYes);
    EXPECT_TRUE(choice().saveAutoDelete(rows));
    EXPECT_EQ(choice().autoDeleteRows().answering, rows.answering);
    EXPECT_EQ(choice().autoDeleteRows().extension, rows.extension);
    EXPECT_EQ(setting("rusuroku", "0102"), "0");  // every row is written

    expectAutoDeleteQuestion(IdYes);
    EXPECT_TRUE(choice().saveAutoDelete({rowsOf(kAnswering), rowsOf(kExtension)}));
    EXPECT_FALSE(choice().autoDeleteRows().anyChecked());
    EXPECT_EQ(setting("rusuroku", "0101"), "0");
}

TEST_F(DownloadChoiceTest, MainUnitWithoutDeletionSwitchesEveryBoxOffAndSaysSoOnce) {
    startMainUnit();
    logIn();
    mainunit::MainUnitFaults faults;
    faults.wildcardDeleteUnsupported = true;
    server->setFaults(faults);
    demoBoxFolders();
    expectAutoDeleteQuestion(IdYes);
    ASSERT_TRUE(choice().saveAutoDelete({rowsOf(kAnswering, true), rowsOf(kExtension, true)}));
    expectConfirm(IdYes);
    expectError(text::kAutoDeleteUnsupported);

    EXPECT_EQ(choice().downloadChosen(Kind::InfoAndVoice,
                                      {rowsOf(kAnswering, true), rowsOf(kExtension, true)}),
              Outcome::Ran);

    ui.verifyAllAnswered();
    EXPECT_FALSE(choice().autoDeleteRows().anyChecked());
    EXPECT_EQ(filesIn(store() / "naisen" / "305", ".vminf"),
              filesIn(dir / "root" / "naisen" / "305", ".vminf"));  // it went on to the end
}

TEST_F(DownloadChoiceTest, ResponsesAreDownloadedOnlyWhenTheMainUnitHasSome) {
    struct Case {
        const char* name;
        bool seeded;
        bool linkLost;
        Outcome outcome;
        std::string_view message;  // empty: none
    };
    const Case cases[] = {
        {"three responses", true, false, Outcome::Ran, {}},
        {"none", false, false, Outcome::NoMessages, text::kNoVoiceMessages},
        {"link lost", true, true, Outcome::LinkFailed, text::kCommunicationError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.reset();
        fs::remove_all(dir / "root");
        fs::remove_all(store());
        if (!c.seeded) {
            fs::create_directories(dir / "root" / "outou");
        }
        fs::create_directories(store() / "outou");
        ASSERT_NO_FATAL_FAILURE(startMainUnit(c.seeded));
        logIn();
        if (c.linkLost) {
            mainunit::MainUnitFaults faults;
            faults.dropControlAfterCommands = 1;
            server->setFaults(faults);
        }
        if (!c.message.empty()) {
            expectError(c.message);
        }
        context->downloadCompleted = false;

        EXPECT_EQ(choice().downloadResponses(), c.outcome);

        ui.verifyAllAnswered();
        const int served = filesIn(dir / "root" / "outou", ".vminf");
        EXPECT_EQ(filesIn(store() / "outou", ".vminf"), c.outcome == Outcome::Ran ? served : 0);
        EXPECT_EQ(context->downloadCompleted, c.outcome == Outcome::Ran);
        EXPECT_EQ(doc.loggedIn, c.linkLost ? 0 : 1);
    }
}

}  // namespace
}  // namespace orven::test
