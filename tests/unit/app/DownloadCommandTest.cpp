#include "app/DownloadCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "CommandFixture.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"
#include "store/MessageFolder.h"
#include "store/StoreNames.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Outcome = DownloadCommand::Outcome;

// What the user is shown at the end.
enum class Shown { Nothing, Completion, CompletionInBox, Declined, Moved, MoveFailed };

struct Case {
    const char* name;
    int downloaded;  // messages the download adds to a store of exactly the threshold
    bool responses, usable, dialogOk, completed, inBox;
    Shown shown;
    Outcome outcome;
};

// Writes count messages named as the main unit names them.
void writeMessages(const fs::path& box, int count) {
    fs::create_directories(box);
    for (int i = 0; i < count; ++i) {
        std::ofstream(box / ("20260304" + std::to_string(10000000 + i) + "_A101_00001.vminf"));
    }
}

int countIn(const fs::path& store) {
    int total = 0;
    for (const fs::path& box : StoreNames::boxFolders(store)) {
        total += MessageFolder(StoreContext{}).CountMessages(box);
    }
    return total;
}

const Case kCases[] = {
    // downloaded, responses, usable, dialog OK, completed, in box, shown, outcome
    {"over, moved on yes", 1, true, true, true, true, false, Shown::Moved,
     Outcome::MovedToDlFolder},
    {"over, kept on no", 1, true, true, true, true, false, Shown::Declined, Outcome::KeptInPlace},
    {"over, no responses", 1, false, true, true, true, true, Shown::MoveFailed,
     Outcome::MoveFailed},
    {"at the threshold", 0, true, true, true, true, false, Shown::Completion, Outcome::Completed},
    {"wizard at the threshold", 0, true, true, true, true, true, Shown::CompletionInBox,
     Outcome::Completed},
    {"over, not completed", 1, true, true, true, false, false, Shown::Nothing,
     Outcome::DialogClosed},
    {"over, dialog cancelled", 1, true, true, false, true, false, Shown::Nothing,
     Outcome::DialogClosed},
    {"folder unusable", 1, true, false, true, true, false, Shown::Nothing, Outcome::NotRun},
};

class DownloadCommandTest : public CommandTest {
  protected:
    // The store with a box of exactly the threshold, lent from `box` by renaming: made once.
    void makeStore(const Case& c) {
        offline();
        fs::remove_all(doc.dataFolder.str());
        fs::create_directories(store() / "rusuroku");
        fs::rename(box, store() / "rusuroku/101");
        if (c.responses) {
            writeMessages(store() / "outou", 1);
        }
        dlName = StoreNames::nextDlFolderName(doc.dataFolder.str(), clock.now());
    }
    void returnBox() {
        const fs::path moved = doc.dataFolder.str() + dlName + "/rusuroku/101";
        fs::rename(fs::exists(moved) ? moved : store() / "rusuroku/101", box);
    }

    void expectShown(Shown shown) {
        if (shown >= Shown::Declined) {
            ui.expectMessage(text::fill(text::kRollOverOffer, dlName),
                             shown == Shown::Declined ? IdNo : IdYes)
                .title(std::string(text::kConfirmTitle))
                .buttons(Buttons::YesNo);
        }
        if (shown == Shown::Completion || shown == Shown::Moved) {
            ui.expectMessage(shown == Shown::Moved ? text::fill(text::kMovedToDlFolder, dlName)
                                                   : std::string(text::kDownloadDone),
                             IdOk)
                .title(std::string(shown == Shown::Moved ? text::kDoneTitle
                                                         : text::kDownloadDoneTitle))
                .icon(Icon::Information);
        } else if (shown == Shown::CompletionInBox) {
            ui.expectCustom(std::string(text::kDownloadDone), CustomBox::Second)
                .title(std::string(text::kDownloadDoneTitle))
                .buttonSet(4);  // "完了" alone
        } else if (shown == Shown::MoveFailed) {
            ui.expectMessage(std::string(text::kFolderMoveFailed), IdOk);
        }
    }

    void runCase(const Case& c) {
        context->folderCheck = [&c] { return c.usable; };
        int refreshes = 0;
        DownloadCommand command(*context,
                                {[this] { return countIn(store()); }, [&] { ++refreshes; }});
        // The download holds the worker and stores its messages, as the real dialogs do.
        const auto dialog = [&] {
            EXPECT_FALSE(context->downloadCompleted);
            session->pauseWorker(true);
            writeMessages(store() / "rusuroku/102", c.downloaded);
            context->downloadCompleted = c.completed;
            return c.dialogOk;
        };
        context->downloadCompleted = true;  // left from an earlier download
        expectShown(c.shown);

        EXPECT_EQ(command.run(dialog, c.inBox), c.outcome);

        ui.verifyAllAnswered();
        const bool moved = c.shown == Shown::Moved || c.shown == Shown::MoveFailed;
        const int total = DownloadCommand::kRollOverThreshold + (c.usable ? c.downloaded : 0);
        EXPECT_EQ(countIn(store()), moved ? 0 : total);
        EXPECT_EQ(countIn(doc.dataFolder.str() + dlName), moved ? total : 0);
        EXPECT_TRUE(fs::exists(store() / "rusuroku/101"));
        EXPECT_EQ(refreshes, moved ? 1 : 0);
        EXPECT_FALSE(session->worker().foregroundJob());
        EXPECT_FALSE(session->worker().pauseRequested());
    }

    fs::path box = dir / "box";
    std::string dlName;
};

TEST_F(DownloadCommandTest, EndsADownloadByItsCountAndTheUsersChoice) {
    writeMessages(box, DownloadCommand::kRollOverThreshold);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        makeStore(c);
        runCase(c);
        returnBox();
    }
}

}  // namespace
}  // namespace orven::test
