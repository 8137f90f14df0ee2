#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "LinkFixture.h"
#include "link/BoxDownloadJob.h"
#include "link/CFtpMng.h"
#include "link/JobEnvironment.h"
#include "mainunit/MainUnitServer.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "store/CFileMng.h"
#include "store/HeaderBlock.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using mainunit::MainUnitFaults;
using mainunit::MainUnitOptions;
using mainunit::MainUnitServer;

constexpr const char* kBox = "/rusuroku/0101";
constexpr const char* kOther = "/rusuroku/0102";
constexpr const char* kA = "202401050930_FRI_0101_00001";
constexpr const char* kB = "202401061015_SAT_0101_00002";
constexpr const char* kC = "202401070800_SUN_0102_00001";
constexpr std::size_t kVoiceBytes = 1000;
// A voice data file of 256 + 4 + 1000 bytes takes no whole block, so it is estimated at 4352.
constexpr std::uint64_t kEstimatePerMessage = 4352;

// A ScriptedUi that also runs a test's hook whenever the code keeps the window alive.
class HookedUi : public ScriptedUi {
  public:
    void pump() override {
        ScriptedUi::pump();
        if (onPump) {
            onPump();
        }
    }
    std::function<void()> onPump;
};

class BoxDownloadJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        addMessage(kBox, kA, 2, 30);
        addMessage(kBox, kB, 3, 45);
        addMessage(kOther, kC, 4, 10);
        MainUnitOptions options;
        options.root = dir / "root";
        server = std::make_unique<MainUnitServer>(options);
        ASSERT_TRUE(server->start());
        timing.reconnectWaitSteps = 2;
        timing.reconnectWaitStepMs = 1;
        FtpEnvironment link;
        link.ui = &ftpUi;
        link.timing = &timing;
        link.cancelFlag = &cancel;
        link.defaultLocalDirectory = dir.path();
        ftp = std::make_unique<CFtpMng>(link);
        env.ftp = ftp.get();
        env.store.fileSystem = &fileSystem;
        env.store.ui = &ftpUi;
        env.store.cancelFlag = &cancel;
        env.store.stopRequest = &stop;
        env.settings = &settings;
        env.login = {"127.0.0.1", "maint", std::string(MainUnitOptions::kDefaultPassword),
                     server->port()};
        env.timing = timing;
        env.ui = &jobUi;
        env.cancelFlag = &cancel;
        env.stopRequest = &stop;
        fs::create_directories(local);
        fs::create_directories(otherLocal);
        ASSERT_EQ(ftp->Login("127.0.0.1", "maint", env.login.password, server->port()), 0);
    }

    void TearDown() override {
        // Whatever happened, no request list or bundle stays behind.
        EXPECT_TRUE(FileOps::glob(local, "*.*co").empty());
        EXPECT_TRUE(FileOps::glob(otherLocal, "*.*co").empty());
        ftpUi.onPump = nullptr;
        ftp.reset();
        server.reset();
    }

    // A message as the main unit keeps it, recorded on the given January day.
    void addMessage(const std::string& folder, const std::string& stem, int day, int tenths,
                    int responseNumber = 0) {
        HeaderBlock block;
        if (responseNumber != 0) {
            block.setResponseNumber(static_cast<std::uint16_t>(responseNumber));
            block.setField(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize,
                           stem.substr(18, 3));
        }
        block.setFileName(stem + ".vmdat");
        block.setSignature();
        block.setDate(LocalTime::make(2024, 1, day, 9, 30));
        block.setLengthTenths(static_cast<std::uint32_t>(tenths * 10));
        const std::string voice(kVoiceBytes, static_cast<char>('a' + day));
        const fs::path real = remote(folder);
        fs::create_directories(real);
        ASSERT_TRUE(FileOps::replaceFileAtomically(real / (stem + ".vminf"), block.str()));
        ASSERT_TRUE(FileOps::replaceFileAtomically(
            real / (stem + ".vmdat"), block.str() + HeaderBlock::bigEndian32(kVoiceBytes) + voice));
    }

    fs::path remote(const std::string& folder) const {
        return dir / "root" / fs::path(folder).relative_path();
    }

    void removeOnMainUnit(const std::string& folder, const std::string& stem) {
        fs::remove(remote(folder) / (stem + ".vminf"));
        fs::remove(remote(folder) / (stem + ".vmdat"));
    }

    int download(const fs::path& box, const std::string& remoteDir, bool worker = false) {
        BoxDownloadJob job(env);
        return job.DownloadBox(box, chosen, remoteDir, stored, worker, true);
    }

    void switchDeletion(bool on) { ASSERT_TRUE(settings.writeInt("rusuroku", "0101", on)); }

    // Commands the stand-in received from now on.
    void mark() { m_mark = server->commands().size(); }
    std::vector<std::string> sinceMark() const {
        const auto all = server->commands();
        return {all.begin() + static_cast<std::ptrdiff_t>(m_mark), all.end()};
    }
    int sent(const std::string& prefix) const {
        const auto lines = sinceMark();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
            return line.rfind(prefix, 0) == 0;
        }));
    }
    bool serverSaw(const std::string& prefix) const {
        for (const std::string& line : server->commands()) {
            if (line.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }
    // Once the stand-in has seen the command, the action runs (once) from the link's pump.
    void when(const std::string& prefix, std::function<void()> action) {
        auto done = std::make_shared<bool>(false);
        ftpUi.onPump = [this, prefix, action, done] {
            if (!*done && serverSaw(prefix)) {
                *done = true;
                action();
            }
        };
    }

    bool storedFully(const fs::path& box, const std::string& stem) const {
        return fs::exists(box / (stem + ".vminf")) && fs::exists(box / (stem + ".aac"));
    }

    FILESTS_INFO record(const fs::path& box, const std::string& stem) {
        FILESTS_INFO info = FILESTS_INFO::zeroed();
        EXPECT_EQ(CFileMng(env.store).ReadInfo(box / (stem + ".vminf"), info), 1);
        return info;
    }

    TempDir dir;
    fs::path local = dir / "store" / "rusuroku" / "0101";
    fs::path otherLocal = dir / "store" / "rusuroku" / "0102";
    Timing timing = quickTiming();
    std::atomic<int> cancel{0};
    std::atomic<int> stop{0};
    HookedUi ftpUi;
    HookedUi jobUi;
    FakeFileSystem fileSystem;
    ProfileFile settings{dir / "ORVEN.ini"};
    std::unique_ptr<MainUnitServer> server;
    std::unique_ptr<CFtpMng> ftp;
    JobEnvironment env;
    int chosen = -1;
    int stored = -1;

  private:
    std::size_t m_mark = 0;
};

TEST_F(BoxDownloadJobTest, BringsTheMissingMessagesWithTheirRecordsAndOnlyThose) {
    mark();
    EXPECT_EQ(download(local, kBox), 0);
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
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(sent("STOR"), 0);
    EXPECT_EQ(sent("RETR"), 0);

    // An information file without its voice file is asked for again; a voice file written
    // in upper case counts as there.
    fs::remove(local / (std::string(kA) + ".aac"));
    fs::rename(local / (std::string(kB) + ".aac"), local / (std::string(kB) + ".AAC"));
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(storedFully(local, kA));
    EXPECT_FALSE(fs::exists(local / (std::string(kB) + ".aac")));
}

TEST_F(BoxDownloadJobTest, MissingBoxAndMissingFilesAreReportedAsSuch) {
    EXPECT_EQ(download(dir / "store" / "rusuroku" / "0999", "/rusuroku/0999"), -2);

    // The messages went between the listing and the RETR.
    when("STOR", [this] {
        removeOnMainUnit(kBox, kA);
        removeOnMainUnit(kBox, kB);
    });
    EXPECT_EQ(download(local, kBox), 550);
    EXPECT_EQ(stored, 0);
}

TEST_F(BoxDownloadJobTest, DeletesOnTheMainUnitOnlyWhenSwitchedOn) {
    EXPECT_EQ(download(local, kBox), 0);
    switchDeletion(true);
    ASSERT_EQ(CFileMng(env.store).SetBoxName(local, "Sales"), 1);
    std::vector<std::string> heard;
    env.messagesLeft = [&](const std::string& remoteDir, const std::string& name) {
        heard = {remoteDir, name};
    };

    // Nothing missing, yet the box is emptied on the main unit and the records learn of it.
    mark();
    EXPECT_EQ(download(local, kBox, true), 0);
    EXPECT_EQ(sent("STOR"), 0);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
    EXPECT_FALSE(fs::exists(remote(kBox) / (std::string(kA) + ".vminf")));
    EXPECT_EQ(FILESTS_INFO::text(record(local, kA).boxName), "Sales");
    EXPECT_EQ(FILESTS_INFO::text(record(local, kB).boxName), "Sales");
    EXPECT_EQ(heard, (std::vector<std::string>{kBox, std::string(kB) + ".vminf"}));
    EXPECT_TRUE(storedFully(local, kA));
}

// The main unit forgets the messages at the DELE; a power cut must not take them here after it.
TEST_F(BoxDownloadJobTest, DeletesOnlyWhatIsOnTheDisk) {
    switchDeletion(true);
    std::vector<fs::path> flushed;
    int deletesBeforeFlush = -1;
    bool flushWorks = false;
    fileSystem.onFlush = [&](const fs::path& path) {
        flushed.push_back(path);
        deletesBeforeFlush = sent("DELE");
        return flushWorks;
    };
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(sent("DELE"), 0);  // the flush failed
    EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kA) + ".vminf")));

    flushWorks = true;
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(deletesBeforeFlush, 0);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
    ASSERT_EQ(flushed.size(), 2u);
    EXPECT_EQ(flushed.back(), local);
}

TEST_F(BoxDownloadJobTest, MainUnitWithoutDeletionGives555) {
    switchDeletion(true);
    MainUnitFaults faults;
    faults.wildcardDeleteUnsupported = true;
    server->setFaults(faults);
    EXPECT_EQ(download(local, kBox), 555);
    EXPECT_EQ(stored, 2);
    EXPECT_TRUE(storedFully(local, kB));
}

// What counts is what the main unit still has when the DELE goes out: a message it lost
// before the fetch (so the bundle fell short) does not keep the rest of the box there.
TEST_F(BoxDownloadJobTest, MessageGoneBeforeTheFetchDoesNotHoldTheBox) {
    switchDeletion(true);
    when("STOR", [this] { removeOnMainUnit(kBox, kB); });
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(storedFully(local, kA));
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
}

// The DELE takes the box as it is when it arrives: a message recorded after the job's own
// listing must hold it back, and the user hears of it.
TEST_F(BoxDownloadJobTest, MessageRecordedMeanwhileKeepsTheBox) {
    switchDeletion(true);
    constexpr const char* kNew = "202401080900_MON_0101_00003";
    when("RETR", [this, kNew] { addMessage(kBox, kNew, 8, 20); });
    std::vector<std::string> heldBack;
    env.deletionHeldBack = [&](const std::string& remoteDir) { heldBack.push_back(remoteDir); };
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(sent("DELE"), 0);
    EXPECT_EQ(heldBack, std::vector<std::string>{kBox});
    EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kNew) + ".vmdat")));

    // Once it is here too, the box is emptied.
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_TRUE(storedFully(local, kNew));
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
    EXPECT_EQ(heldBack.size(), 1u);
}

// A listing taken right before the DELE that does not come whole tells nothing about what the
// main unit still has: the box stays there, without a word (it is no stored-copy question),
// and the next run empties it.
TEST_F(BoxDownloadJobTest, NoDeletionAfterAListingThatDidNotComeWhole) {
    const std::vector<std::pair<const char*, std::function<void(MainUnitFaults&)>>> faults = {
        {"cut with 426", [](MainUnitFaults& f) { f.cutListingInHalf = true; }},
        {"over the size limit", [](MainUnitFaults& f) { f.oversizeListing = true; }},
    };
    switchDeletion(true);
    std::vector<std::string> heldBack;
    env.deletionHeldBack = [&](const std::string& remoteDir) { heldBack.push_back(remoteDir); };
    for (const auto& [what, fault] : faults) {
        SCOPED_TRACE(what);
        fs::remove_all(local);
        fs::create_directories(local);
        server->clearCommands();  // the fault is armed by this run's RETR
        when("RETR", [this, fault = fault] {
            MainUnitFaults armed;
            fault(armed);
            armed.dropOnce = true;
            server->setFaults(armed);
        });
        mark();
        EXPECT_EQ(download(local, kBox), 0);
        EXPECT_EQ(stored, 2);
        EXPECT_EQ(sent("DELE"), 0);
        EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kA) + ".vmdat")));
    }
    EXPECT_TRUE(heldBack.empty());
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
}

// Someone else on the machine reaching the data port first gets nothing in, whatever the
// transfer: listing, request list or bundle.
TEST_F(BoxDownloadJobTest, StrangerOnTheDataPortIsTurnedAway) {
    MainUnitFaults faults;
    faults.strangerOnDataPort = true;
    faults.strangerBytes = std::string(4096, 'x');
    server->setFaults(faults);
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(readFile(local / (std::string(kA) + ".aac")), std::string(kVoiceBytes, 'c'));
}

TEST_F(BoxDownloadJobTest, NoDeletionWhenTheBundleWasCut) {
    switchDeletion(true);
    // Longer than the request list, shorter than the bundle: the second message is cut.
    when("STOR", [this] {
        MainUnitFaults faults;
        faults.dropDataAfterBytes = 16 + 2 * (256 + 4) + kVoiceBytes + 100;
        faults.dropOnce = true;
        server->setFaults(faults);
    });
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(storedFully(local, kA));
    EXPECT_FALSE(fs::exists(local / (std::string(kB) + ".vminf")));
    EXPECT_EQ(sent("DELE"), 0);
    EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kB) + ".vmdat")));

    // The next run fetches the rest, and only then empties the box.
    mark();
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
    EXPECT_FALSE(fs::exists(remote(kBox) / (std::string(kB) + ".vmdat")));
}

TEST_F(BoxDownloadJobTest, ChecksTheDiskBeforeSendingAnything) {
    fileSystem.setFreeSpace(local, 2 * kEstimatePerMessage + 4098 - 1);
    mark();
    EXPECT_EQ(download(local, kBox), -4);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(sent("STOR"), 0);
    fileSystem.setFreeSpace(local, std::nullopt);  // a volume that cannot be asked
    EXPECT_EQ(download(local, kBox), -4);

    fileSystem.setFreeSpace(local, 2 * kEstimatePerMessage + 4098);
    EXPECT_EQ(download(local, kBox), 0);
    EXPECT_EQ(stored, 2);
}

// The stand-in drops the control connection right after answering the command before the
// one named, once; the job logs in again and finishes.
class BoxDownloadBrokenConnectionTest : public BoxDownloadJobTest,
                                        public ::testing::WithParamInterface<const char*> {};

TEST_P(BoxDownloadBrokenConnectionTest, ReconnectsAndFinishes) {
    // A first box shows where in the session the command comes.
    mark();
    ASSERT_EQ(download(otherLocal, kOther), 0);
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
    EXPECT_EQ(download(local, kBox), 0);
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
    EXPECT_EQ(download(local, kBox), -1);
    EXPECT_EQ(sent("PASS"), 3);
}

TEST_F(BoxDownloadJobTest, CancelEndsTheReconnectionWait) {
    env.timing.reconnectWaitSteps = 1'000'000;  // far longer than the test may take
    jobUi.onPump = [this] { cancel = 1; };
    MainUnitFaults faults;
    faults.dropControlAfterCommands = static_cast<int>(server->commands().size()) + 1;
    server->setFaults(faults);
    mark();
    EXPECT_EQ(download(local, kBox), -3);
    EXPECT_EQ(sent("USER"), 0);
}

TEST_F(BoxDownloadJobTest, StopRequestOfTheWorker) {
    when("STOR", [this] { stop = 1; });
    mark();
    EXPECT_EQ(download(local, kBox, true), -3);
    EXPECT_EQ(sent("RETR"), 0);

    std::string stoppedIn;
    env.stoppedAfterFetch = [&](const std::string& remoteDir) { stoppedIn = remoteDir; };
    stop = 0;
    when("RETR", [this] { stop = 1; });
    EXPECT_EQ(download(local, kBox, true), -5);
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
    EXPECT_EQ(download(outou, "/outou"), 0);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(storedFully(outou, newer));
    EXPECT_FALSE(fs::exists(outou / (older + ".aac")));
    EXPECT_EQ(sent("DELE"), 0);

    // The copy stored now is as new as the main unit's: nothing to fetch.
    mark();
    EXPECT_EQ(download(outou, "/outou"), 0);
    EXPECT_EQ(chosen, 0);
    EXPECT_EQ(sent("STOR"), 0);
    EXPECT_TRUE(FileOps::glob(outou, "*.*co").empty());
}

TEST_F(BoxDownloadJobTest, InformationOnlyAndChosenMessagesAgain) {
    BoxDownloadJob job(env);
    mark();
    EXPECT_EQ(job.DownloadBoxInfo(chosen, stored, kBox, local), 0);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(sent("RETR /rusuroku/0101/*.infco"), 1);
    EXPECT_TRUE(fs::exists(local / (std::string(kA) + ".vminf")));
    EXPECT_FALSE(fs::exists(local / (std::string(kA) + ".aac")));
    EXPECT_EQ(record(local, kA).downloadState, 0);
    EXPECT_EQ(job.DownloadBoxInfo(chosen, stored, kBox, local), 0);
    EXPECT_EQ(chosen, 0);

    EXPECT_EQ(job.DownloadMessages(local, {std::string(kB) + ".vmdat"}, kBox), 0);
    EXPECT_TRUE(storedFully(local, kB));
    EXPECT_FALSE(fs::exists(local / (std::string(kA) + ".aac")));
    removeOnMainUnit(kBox, kA);
    EXPECT_EQ(job.DownloadMessages(local, {std::string(kA) + ".vmdat"}, kBox), 550);
}

}  // namespace
}  // namespace orven::test
