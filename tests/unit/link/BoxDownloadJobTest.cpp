// The box download job: what it selects, how the exchange goes and how it ends; the deletion
// after download is in BoxDownloadDeletionTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BoxDownloadJobFixture.h"

namespace orven::test {
namespace {

TEST_F(BoxDownloadJobTest, BringsTheMissingMessagesWithTheirRecordsAndOnlyThose) {
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(stored, 2);
    EXPECT_TRUE(storedFully(local, kA));
    EXPECT_TRUE(storedFully(local, kB));
    EXPECT_EQ(readFile(local / (std::string(kA) + ".aac")), std::string(kVoiceBytes, 'c'));
    const FILESTS_INFO a = record(local, kA);
    EXPECT_EQ(FILESTS_INFO::text(a.recordingDate), "2024/01/02 09:30");
    EXPECT_EQ(FILESTS_INFO::text(a.recordingLength), "00:00:30");
    EXPECT_EQ(a.downloadState, 2);
    EXPECT_EQ(sent("RETR /rusuroku/0101/*.datco"), 1);
    EXPECT_EQ(sent("DELE"), 0);  // deletion after download is off

    // Both files there: nothing is asked for again.
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(sent("STOR"), 0);
    EXPECT_EQ(sent("RETR"), 0);

    // An information file without its voice file is asked for again; a voice file written
    // in upper case counts as there.
    fs::remove(local / (std::string(kA) + ".aac"));
    fs::rename(local / (std::string(kB) + ".aac"), local / (std::string(kB) + ".AAC"));
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(storedFully(local, kA));
    EXPECT_FALSE(fs::exists(local / (std::string(kB) + ".aac")));
}

TEST_F(BoxDownloadJobTest, MissingBoxAndMissingFilesAreReportedAsSuch) {
    EXPECT_EQ(download(dir / "store" / "rusuroku" / "0999", "/rusuroku/0999"),
              JobResult::NoSuchBox);

    // The messages went between the listing and the RETR.
    when("STOR", [this] {
        removeOnMainUnit(kBox, kA);
        removeOnMainUnit(kBox, kB);
    });
    EXPECT_EQ(download(local, kBox), JobResult::FilesGone);
    EXPECT_EQ(stored, 0);
}

// Someone else on the machine reaching the data port first gets nothing in, whatever the
// transfer: listing, request list or bundle.
TEST_F(BoxDownloadJobTest, StrangerOnTheDataPortIsTurnedAway) {
    MainUnitFaults faults;
    faults.strangerOnDataPort = true;
    faults.strangerBytes = std::string(4096, 'x');
    server->setFaults(faults);
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(readFile(local / (std::string(kA) + ".aac")), std::string(kVoiceBytes, 'c'));
}

TEST_F(BoxDownloadJobTest, ChecksTheDiskBeforeSendingAnything) {
    fileSystem.setFreeSpace(local, 2 * kEstimatePerMessage + 4098 - 1);
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::DiskFull);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(sent("STOR"), 0);
    fileSystem.setFreeSpace(local, std::nullopt);  // a volume that cannot be asked
    EXPECT_EQ(download(local, kBox), JobResult::DiskFull);

    fileSystem.setFreeSpace(local, 2 * kEstimatePerMessage + 4098);
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(stored, 2);
}

// The stand-in drops the control connection right after answering the command before the
// one named, once; the job logs in again and finishes.
class BoxDownloadBrokenConnectionTest : public BoxDownloadJobTest,
                                        public ::testing::WithParamInterface<const char*> {};

TEST_P(BoxDownloadBrokenConnectionTest, ReconnectsAndFinishes) {
    // A first box shows where in the session the command comes.
    mark();
    ASSERT_EQ(download(otherLocal, kOther), JobResult::Done);
    const auto first = sinceMark();
    const auto at = std::find_if(first.begin(), first.end(), [](const std::string& line) {
        return line.rfind(GetParam(), 0) == 0;
    });
    ASSERT_NE(at, first.end());
    MainUnitFaults faults;
    faults.dropControlAfterCommands =
        static_cast<int>(server->commands().size() + (at - first.begin()));
    faults.dropOnce = true;
    server->setFaults(faults);

    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(stored, 2);
    EXPECT_TRUE(storedFully(local, kB));
    EXPECT_EQ(sent("USER"), 1);
}

INSTANTIATE_TEST_SUITE_P(AtEachStep, BoxDownloadBrokenConnectionTest,
                         ::testing::Values("NLST", "STOR", "RETR"));

TEST_F(BoxDownloadJobTest, GivesUpAfterThreeAttempts) {
    MainUnitFaults faults;
    faults.dropControlAfterCommands = static_cast<int>(server->commands().size()) + 1;
    faults.refuseLogIn = true;
    server->setFaults(faults);
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::CommunicationFailure);
    EXPECT_EQ(sent("PASS"), 3);
}

TEST_F(BoxDownloadJobTest, CancelEndsTheReconnectionWait) {
    env.timing.reconnectWaitSteps = 1'000'000;  // far longer than the test may take
    jobUi.onPump = [this] { cancel = 1; };
    MainUnitFaults faults;
    faults.dropControlAfterCommands = static_cast<int>(server->commands().size()) + 1;
    server->setFaults(faults);
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Cancelled);
    EXPECT_GE(sinceMark().size(), 1u) << "the connection broke before the cancel";
    EXPECT_EQ(sent("USER"), 0);
}

TEST_F(BoxDownloadJobTest, StopRequestOfTheWorker) {
    when("STOR", [this] { stop = 1; });
    mark();
    EXPECT_EQ(download(local, kBox, true), JobResult::Cancelled);
    EXPECT_EQ(sent("RETR"), 0);

    std::string stoppedIn;
    env.stoppedAfterFetch = [&](const std::string& remoteDir) { stoppedIn = remoteDir; };
    stop = 0;
    when("RETR", [this] { stop = 1; });
    EXPECT_EQ(download(local, kBox, true), JobResult::Stopped);
    EXPECT_EQ(stoppedIn, kBox);
    EXPECT_FALSE(fs::exists(local / (std::string(kA) + ".vminf")));
}

TEST_F(BoxDownloadJobTest, ResponseMessageReplacesOnlyAnOlderCopy) {
    const std::string older = "202312010900_FRI_A001_0001";
    const std::string newer = "202402010900_THU_A001_0001";
    addMessage("/outou", newer, 20, 5, 1);
    const fs::path outou = dir / "store" / "outou";
    fs::create_directories(outou);
    ASSERT_TRUE(FileOps::replaceFileAtomically(outou / (older + ".aac"), "old"));
    ASSERT_TRUE(FileOps::replaceFileAtomically(outou / (older + ".vminf"), "old"));

    mark();
    EXPECT_EQ(download(outou, "/outou"), JobResult::Done);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(storedFully(outou, newer));
    EXPECT_FALSE(fs::exists(outou / (older + ".aac")));
    EXPECT_EQ(sent("DELE"), 0);

    // The copy stored now is as new as the main unit's: nothing to fetch.
    mark();
    EXPECT_EQ(download(outou, "/outou"), JobResult::Done);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(sent("STOR"), 0);
    EXPECT_TRUE(FileOps::glob(outou, "*.*co").empty());
}

TEST_F(BoxDownloadJobTest, InformationOnlyAndChosenMessagesAgain) {
    BoxDownloadJob job(env);
    mark();
    EXPECT_EQ(job.DownloadBoxInfo(chosen, stored, kBox, local), JobResult::Done);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(sent("RETR /rusuroku/0101/*.infco"), 1);
    EXPECT_TRUE(fs::exists(local / (std::string(kA) + ".vminf")));
    EXPECT_FALSE(fs::exists(local / (std::string(kA) + ".aac")));
    EXPECT_EQ(record(local, kA).downloadState, 0);
    EXPECT_EQ(job.DownloadBoxInfo(chosen, stored, kBox, local), JobResult::Done);
    EXPECT_EQ(chosen, 0);

    EXPECT_EQ(job.DownloadMessages(local, {std::string(kB) + ".vmdat"}, kBox), JobResult::Done);
    EXPECT_TRUE(storedFully(local, kB));
    EXPECT_FALSE(fs::exists(local / (std::string(kA) + ".aac")));
    removeOnMainUnit(kBox, kA);
    EXPECT_EQ(job.DownloadMessages(local, {std::string(kA) + ".vmdat"}, kBox),
              JobResult::FilesGone);
}

}  // namespace
}  // namespace orven::test
