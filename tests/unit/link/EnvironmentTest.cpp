#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>

#include "LinkFixture.h"
#include "link/Environment.h"
#include "platform/DialogueLog.h"
#include "platform/ManualClock.h"
#include "platform/ProfileFile.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"

namespace orven::test {
namespace {

using Session = ScriptedFtpServer::Session;

// What is given is handed on as it is; only the gaps are filled with the environment's own.
TEST(EnvironmentTest, FillsOnlyTheGapsOfWhatItIsGiven) {
    ScriptedUi ui;
    ManualClock clock;
    FakeFileSystem fileSystem;
    std::atomic<int> cancel{0};
    std::atomic<int> stop{0};
    std::ostringstream out;
    StreamDialogueLog log(out);
    FtpEnvironment given;
    given.ui = &ui;
    given.timing.replyTimeoutMs = 1234;
    given.clock = &clock;
    given.fileSystem = &fileSystem;
    given.cancelFlag = &cancel;
    given.stopRequest = &stop;
    given.dialogueLog = &log;
    const Environment full(given);
    const Services& kept = full.services();
    EXPECT_EQ(kept.ui, &ui);
    EXPECT_EQ(kept.timing.replyTimeoutMs, 1234);
    EXPECT_EQ(kept.clock, &clock);
    EXPECT_EQ(kept.fileSystem, &fileSystem);
    EXPECT_EQ(kept.cancelFlag, &cancel);
    EXPECT_EQ(kept.stopRequest, &stop);
    EXPECT_EQ(kept.dialogueLog, &log);

    const Environment empty;
    const Services& own = empty.services();
    EXPECT_EQ(own.ui, nullptr);
    EXPECT_EQ(own.dialogueLog, nullptr);
    EXPECT_EQ(own.timing.replyTimeoutMs, Timing{}.replyTimeoutMs);
    EXPECT_NE(dynamic_cast<const SystemClock*>(own.clock), nullptr);
    EXPECT_NE(dynamic_cast<const LocalFileSystem*>(own.fileSystem), nullptr);
    ASSERT_NE(own.cancelFlag, nullptr);
    ASSERT_NE(own.stopRequest, nullptr);
    EXPECT_NE(own.cancelFlag, own.stopRequest);
    EXPECT_FALSE(own.stopped());
}

// The store's context, a job's environment and the client all see the same flags.
TEST(EnvironmentTest, StoreJobAndClientShareOneSetOfFlags) {
    TempDir dir;
    const ProfileFile settings(dir / "ORVEN.ini");
    Environment environment;
    int checks = 0;
    const JobEnvironment job = environment.job({"127.0.0.1", "maint", "secret", 2121}, &settings,
                                               [&checks] { return ++checks > 1; });
    const StoreContext store = environment.store();
    EXPECT_EQ(job.ftp, &environment.ftp());
    EXPECT_EQ(job.settings, &settings);
    EXPECT_EQ(job.login.user, "maint");
    EXPECT_EQ(job.login.port, 2121);
    EXPECT_FALSE(job.accessOk());
    EXPECT_TRUE(job.accessOk());
    EXPECT_TRUE(store.accessOk());  // no check given

    environment.stopRequest() = 1;
    EXPECT_TRUE(job.stopRequested());
    EXPECT_FALSE(job.cancelled());
    EXPECT_TRUE(store.stopped());
    environment.stopRequest() = 0;
    environment.cancelFlag() = 1;
    EXPECT_TRUE(job.cancelled());
    EXPECT_TRUE(store.stopped());
}

// The client is made with the filled environment: its own cancel flag aborts a listing, and
// the owner's hooks hear of the operation.
TEST(EnvironmentTest, ClientWatchesTheEnvironmentsOwnCancelFlag) {
    TempDir dir;
    ScriptedFtpServer server;
    server.on("NLST", [](Session& s, const std::string&) {
        s.connectData();
        s.reply("150 Opening.");
        if (s.readCommand() == "ABOR") {
            s.send("426 Transfer aborted.\r\n225 ABOR successful.\r\n");
        }
    });
    RecordingHooks hooks;
    FtpEnvironment given;
    given.timing = quickTiming();
    given.hooks = &hooks;
    given.defaultLocalDirectory = dir.path();
    Environment environment(given);
    CFtpMng& client = environment.ftp();
    ASSERT_EQ(client.Login("127.0.0.1", "maint", "secret", server.port()), LoginResult::LoggedIn);
    environment.cancelFlag() = 1;
    std::string text;
    EXPECT_EQ(
        client.RunOperation({}, [&] { return client.ListLong(text, "/rusuroku/0101", true); }),
        ListingResult::Failed);
    EXPECT_EQ(server.commands().back(), "ABOR");
    EXPECT_EQ(hooks.started, 1);
    EXPECT_EQ(hooks.finished, 1);
}

}  // namespace
}  // namespace orven::test
