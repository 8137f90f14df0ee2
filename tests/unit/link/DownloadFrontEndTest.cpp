#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "JobStandInFixture.h"
#include "link/DownloadFrontEnd.h"
#include "resources/Texts.h"

namespace orven::test {
namespace {

using Kind = DownloadFrontEnd::Kind;

constexpr const char* kA1 = "202401050930_FRI_0101_00001";
constexpr const char* kA2 = "202401060930_SAT_0101_00002";
constexpr const char* kE1 = "202402011000_THU_0201_00001";

class DownloadFrontEndTest : public JobStandInTest {
  protected:
    DownloadSummary runAll(Kind kind = Kind::InfoAndVoice) {
        DownloadFrontEnd loops(env, &settings);
        return loops.downloadAll(store, kind);
    }

    // The directories the client changed into, in order, without the walks to the root.
    std::vector<std::string> boxCwds() const {
        std::vector<std::string> cwds;
        for (const std::string& line : server->commands()) {
            if (line.rfind("CWD /", 0) == 0 && line.size() > 5) {
                cwds.push_back(line.substr(4));
            }
        }
        cwds.erase(std::unique(cwds.begin(), cwds.end()), cwds.end());
        return cwds;
    }

    void expectError(std::string_view message) {
        ui.expectMessage(std::string(message), IdOk)
            .title(std::string(text::kErrorTitle))
            .icon(Icon::Exclamation);
    }
};

TEST_F(DownloadFrontEndTest, AllBoxesRunEveryLocalBoxFolderThenTheResponses) {
    addMessage("/rusuroku/0101", kA1, 5000);
    addMessage("/rusuroku/0101", kA2, 100);
    addMessage("/naisen/0201", kE1, 300);
    const auto answering = box("rusuroku", "0101");
    const auto gone = box("rusuroku", "0999");  // the main unit no longer has it: not an error
    const auto extension = box("naisen", "0201");
    std::filesystem::create_directories(store / "outou");
    startAndLogIn();

    const DownloadSummary summary = runAll();

    EXPECT_EQ(summary.result, JobResult::Done);
    EXPECT_EQ(summary.chosen, 3);
    EXPECT_EQ(summary.stored, 3);
    EXPECT_TRUE(summary.refreshList);
    EXPECT_FALSE(summary.cancelled);
    EXPECT_TRUE(stored(answering, kA1) && stored(answering, kA2) && stored(extension, kE1));
    EXPECT_TRUE(ui.boxes().empty());
    ASSERT_EQ(ui.progresses().size(), 1u);
    const ProgressRecord& progress = ui.progresses()[0];
    EXPECT_EQ(progress.title, text::kProgressDownloading);
    EXPECT_EQ(progress.text, text::kProgressDownloadingFiles);
    EXPECT_TRUE(progress.hasCancel);
    EXPECT_TRUE(progress.closed);
    // Four boxes (outou included) in five steps.
    EXPECT_EQ(progress.percents, (std::vector<int>{20, 40, 60, 80}));
    const auto cwds = boxCwds();
    const std::vector<std::string> firstVisits{"/rusuroku/0101", "/rusuroku/0999", "/naisen/0201",
                                               "/outou"};
    for (std::size_t i = 0; i + 1 < firstVisits.size(); ++i) {
        const auto a = std::find(cwds.begin(), cwds.end(), firstVisits[i]);
        const auto b = std::find(cwds.begin(), cwds.end(), firstVisits[i + 1]);
        EXPECT_LT(a, b) << firstVisits[i] << " before " << firstVisits[i + 1];
    }
    EXPECT_TRUE(ftp->IsLoggedIn());

    // A second run finds nothing missing and says nothing either.
    const DownloadSummary again = runAll();
    EXPECT_EQ(again.chosen, 0);
    EXPECT_TRUE(again.refreshList);
    (void)gone;
}

TEST_F(DownloadFrontEndTest, ChosenBoxesRunAnsweringThenExtensionAndInfoOnlyFetchesNoVoice) {
    addMessage("/rusuroku/0101", kA1, 5000);
    addMessage("/naisen/0201", kE1, 300);
    addMessage("/rusuroku/0102", "202401070930_SUN_0102_00001", 10);
    box("rusuroku", "0101");
    box("naisen", "0201");
    startAndLogIn();

    DownloadFrontEnd loops(env, &settings);
    const DownloadSummary summary = loops.downloadChosen(store, Kind::InfoOnly, {"0101"}, {"0201"});

    EXPECT_EQ(summary.stored, 2);
    EXPECT_TRUE(stored(store / "rusuroku" / "0101", kA1));
    EXPECT_TRUE(stored(store / "naisen" / "0201", kE1));
    EXPECT_FALSE(std::filesystem::exists(store / "rusuroku" / "0102"));  // not chosen
    for (const auto& entry : std::filesystem::recursive_directory_iterator(store)) {
        EXPECT_NE(entry.path().extension(), ".aac") << entry.path();
        EXPECT_NE(entry.path().extension(), ".infco") << "request list left behind";
    }
    EXPECT_EQ(ui.progresses().at(0).percents, (std::vector<int>{33, 66}));
    const auto cwds = boxCwds();
    EXPECT_LT(std::find(cwds.begin(), cwds.end(), "/rusuroku/0101"),
              std::find(cwds.begin(), cwds.end(), "/naisen/0201"));
}

TEST_F(DownloadFrontEndTest, UnsupportedDeletionSwitchesEveryBoxOffAndSaysSoOnce) {
    addMessage("/rusuroku/0101", kA1, 100);
    addMessage("/naisen/0201", kE1, 100);
    box("rusuroku", "0101");
    box("naisen", "0201");
    box("naisen", "0202");
    ASSERT_TRUE(settings.writeInt("rusuroku", "0101", 1));
    ASSERT_TRUE(settings.writeInt("naisen", "0201", 1));
    mainunit::MainUnitFaults faults;
    faults.wildcardDeleteUnsupported = true;
    server->setFaults(faults);
    startAndLogIn();
    expectError(text::kAutoDeleteUnsupported);

    const DownloadSummary summary = runAll();

    EXPECT_TRUE(summary.saw555);
    EXPECT_EQ(summary.result, JobResult::Done);
    EXPECT_EQ(summary.stored, 2);  // the loop went on after the first 555
    EXPECT_EQ(settings.getInt("rusuroku", "0101", -1), 0);
    EXPECT_EQ(settings.getInt("naisen", "0201", -1), 0);
    EXPECT_EQ(settings.getString("naisen", "0202", "absent"), "absent");
    ui.verifyAllAnswered();
}

TEST_F(DownloadFrontEndTest, NoSpaceStopsTheLoopAndNamesTheCause) {
    addMessage("/rusuroku/0101", kA1, 5000);
    addMessage("/naisen/0201", kE1, 300);
    box("rusuroku", "0101");
    box("naisen", "0201");
    fileSystem.setFreeSpace(store, 1000);
    startAndLogIn();
    expectError(text::kDownloadNoSpace);

    const DownloadSummary summary = runAll();

    EXPECT_EQ(summary.result, JobResult::DiskFull);
    EXPECT_TRUE(summary.diskFull);
    EXPECT_EQ(summary.stored, 0);
    EXPECT_FALSE(summary.refreshList);
    const auto cwds = boxCwds();
    EXPECT_EQ(std::find(cwds.begin(), cwds.end(), "/naisen/0201"), cwds.end());
    // Two boxes and the responses in four steps; only the first ran.
    EXPECT_EQ(ui.progresses().at(0).percents, (std::vector<int>{25}));
}

// The loop stops as if cancelled, but the user did not cancel and must hear why.
TEST_F(DownloadFrontEndTest, LocalFailureStopsAndSaysWhy) {
    addMessage("/rusuroku/0101", kA1, 100);
    box("rusuroku", "0101");
    box("naisen", "0201");
    env.folderAccessCheck = [] { return false; };
    startAndLogIn();
    expectError(text::kDownloadLocalFailure);

    const DownloadSummary summary = runAll();

    EXPECT_EQ(summary.result, JobResult::LocalFailure);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(cancel.load(), 1);
    EXPECT_EQ(ui.progresses().at(0).percents, (std::vector<int>{25}));
    ui.verifyAllAnswered();
}

// A bundle that ends at an entry it cannot store (here one naming a file outside the box)
// stores fewer messages than were chosen: a partial download, said as such, and the box is
// not emptied on the main unit, which the user hears once with the box named.
TEST_F(DownloadFrontEndTest, ShortBundleIsAPartialDownloadAndKeepsTheBox) {
    addMessage("/rusuroku/0101", kA1, 100);
    addMessage("/rusuroku/0101", kA2, 100);
    const auto onUnit = dir / "root" / "rusuroku" / "0101" / (std::string(kA2) + ".vmdat");
    std::string data = readFile(onUnit);
    data.replace(0, 13, "../../escaped");
    ASSERT_TRUE(FileOps::replaceFileAtomically(onUnit, data));
    box("rusuroku", "0101");
    settings.writeInt("rusuroku", "0101", 1);
    startAndLogIn();
    ui.expectMessage(std::string(text::kDownloadPartlyMissing), IdOk)
        .title(std::string(text::kDownloadDoneTitle))
        .icon(Icon::Information);
    ui.expectCustom(std::string(text::kAutoDeleteHeldBack) + "\n\n" +
                        std::string(text::kAnsweringBoxLabel) + "0101",
                    CustomBox::First);

    const DownloadSummary summary = runAll();

    EXPECT_EQ(summary.result, JobResult::Done);
    EXPECT_EQ(summary.chosen, 2);
    EXPECT_EQ(summary.stored, 1);
    EXPECT_TRUE(summary.partial);
    EXPECT_FALSE(summary.refreshList);
    EXPECT_EQ(summary.deletionHeldBack, std::vector<std::string>{"/rusuroku/0101"});
    EXPECT_TRUE(std::filesystem::exists(onUnit));
    EXPECT_FALSE(std::filesystem::exists(store / "escapedSAT_0101_00002.vminf"));
    ui.verifyAllAnswered();
}

TEST_F(DownloadFrontEndTest, CommunicationFailureReportsAndLogsOut) {
    addMessage("/rusuroku/0101", kA1, 100);
    box("rusuroku", "0101");
    startAndLogIn();
    // The connection breaks and every log-in after it is refused.
    mainunit::MainUnitFaults faults;
    faults.dropControlAfterCommands = 1;
    faults.refuseLogIn = true;
    server->setFaults(faults);
    expectError(text::kCommunicationError);

    const DownloadSummary summary = runAll();

    EXPECT_EQ(summary.result, JobResult::CommunicationFailure);
    EXPECT_FALSE(ftp->IsLoggedIn());
    EXPECT_FALSE(stored(store / "rusuroku" / "0101", kA1));
}

TEST_F(DownloadFrontEndTest, CancelAfterTheFirstBoxStopsQuietly) {
    addMessage("/rusuroku/0101", kA1, 100);
    addMessage("/naisen/0201", kE1, 100);
    box("rusuroku", "0101");
    box("naisen", "0201");
    startAndLogIn();
    ui.cancelProgressAtPercent(25);

    const DownloadSummary summary = runAll();

    EXPECT_TRUE(summary.cancelled);
    EXPECT_TRUE(stored(store / "rusuroku" / "0101", kA1));
    EXPECT_FALSE(stored(store / "naisen" / "0201", kE1));
    EXPECT_TRUE(ui.boxes().empty());
    // The next run starts with the flag cleared.
    runAll();
    EXPECT_TRUE(stored(store / "naisen" / "0201", kE1));
}

TEST_F(DownloadFrontEndTest, ResponsesAloneUseOneStep) {
    std::filesystem::create_directories(store / "outou");
    startAndLogIn();
    DownloadFrontEnd loops(env, &settings);
    const DownloadSummary summary = loops.downloadResponses(store);
    EXPECT_EQ(summary.result, JobResult::Done);
    EXPECT_EQ(ui.progresses().at(0).percents, (std::vector<int>{50}));
    const auto cwds = boxCwds();
    EXPECT_NE(std::find(cwds.begin(), cwds.end(), "/outou"), cwds.end());
}

}  // namespace
}  // namespace orven::test
