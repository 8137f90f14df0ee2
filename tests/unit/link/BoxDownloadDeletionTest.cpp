// The deletion on the main unit after a box download: only when switched on, and only when
// every message the main unit still lists is stored completely and durably on the PC.
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

TEST_F(BoxDownloadJobTest, DeletesOnTheMainUnitOnlyWhenSwitchedOn) {
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    switchDeletion(true);
    ASSERT_EQ(CFileMng(env).SetBoxName(local, "Sales"), 1);
    std::vector<std::string> heard;
    env.messagesLeft = [&](const std::string& remoteDir, const std::string& name) {
        heard = {remoteDir, name};
    };

    // Nothing missing, yet the box is emptied on the main unit and the records learn of it.
    mark();
    EXPECT_EQ(download(local, kBox, true), JobResult::Done);
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
        // The store's flush of what it unpacked (the first call) works.
        return flushWorks || flushed.size() == 1;
    };
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(sent("DELE"), 0);  // the flush failed
    EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kA) + ".vminf")));

    flushWorks = true;
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(deletesBeforeFlush, 0);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
    ASSERT_EQ(flushed.size(), 3u);
    EXPECT_EQ(flushed.back(), local);
}

TEST_F(BoxDownloadJobTest, MainUnitWithoutDeletionGives555) {
    switchDeletion(true);
    MainUnitFaults faults;
    faults.wildcardDeleteUnsupported = true;
    server->setFaults(faults);
    EXPECT_EQ(download(local, kBox), JobResult::DeleteUnsupported);
    EXPECT_EQ(stored, 2);
    EXPECT_TRUE(storedFully(local, kB));
}

// What counts is what the main unit still has when the DELE goes out: a message it lost
// before the fetch (so the bundle fell short) does not keep the rest of the box there.
TEST_F(BoxDownloadJobTest, MessageGoneBeforeTheFetchDoesNotHoldTheBox) {
    switchDeletion(true);
    when("STOR", [this] { removeOnMainUnit(kBox, kB); });
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
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
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(sent("DELE"), 0);
    EXPECT_EQ(heldBack, std::vector<std::string>{kBox});
    EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kNew) + ".vmdat")));

    // Once it is here too, the box is emptied.
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
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
        EXPECT_EQ(download(local, kBox), JobResult::Done);
        EXPECT_EQ(stored, 2);
        EXPECT_EQ(sent("DELE"), 0);
        EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kA) + ".vmdat")));
    }
    EXPECT_TRUE(heldBack.empty());
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
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
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(storedFully(local, kA));
    EXPECT_FALSE(fs::exists(local / (std::string(kB) + ".vminf")));
    EXPECT_EQ(sent("DELE"), 0);
    EXPECT_TRUE(fs::exists(remote(kBox) / (std::string(kB) + ".vmdat")));

    // The next run fetches the rest, and only then empties the box.
    mark();
    EXPECT_EQ(download(local, kBox), JobResult::Done);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(sent("DELE /rusuroku/0101/*.vminf"), 1);
    EXPECT_FALSE(fs::exists(remote(kBox) / (std::string(kB) + ".vmdat")));
}

}  // namespace
}  // namespace orven::test
