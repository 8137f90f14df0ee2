#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "LinkFixture.h"

namespace orven::test {
namespace {

using Session = ScriptedFtpServer::Session;
using Lines = std::vector<std::string>;

class RetrieveTest : public ScriptedLinkTest {
  protected:
    // RETR inside an operation whose local folder is the test's box folder.
    TransferResult retrieve(const std::string& remote, const std::string& local = "") {
        std::filesystem::create_directories(box());
        return client().RunOperation(box(), [&] { return client().RetrieveFile(remote, local); });
    }
    std::filesystem::path box() const { return dir / "rusuroku" / "0101"; }

    const std::string voice = std::string(3000, 'v') + "end";
};

TEST_F(RetrieveTest, WritesTheFileUnderTheLocalOrTheRemoteName) {
    server.setData("RETR /rusuroku/0101/*.datco", voice);
    logInAndForget();
    EXPECT_EQ(retrieve("/rusuroku/0101/*.datco", "req.datco"), TransferResult::Done);
    EXPECT_EQ(readFile(box() / "req.datco"), voice);
    const Lines sent = commandsSinceLogIn();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_TRUE(sent[0].starts_with("PORT 127,0,0,1,"));
    EXPECT_EQ(sent[1], "RETR /rusuroku/0101/*.datco");

    server.setData("RETR a.vmdat", "new");
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Done);
    EXPECT_EQ(readFile(box() / "a.vmdat"), "new");
}

// "150" and "226" in one write, before any data: the data must still be read to its end.
TEST_F(RetrieveTest, EndReplyBeforeTheDataLosesNothing) {
    server.on("RETR", [this](Session& s, const std::string&) {
        s.send("150 Opening.\r\n226 Transfer complete.\r\n");
        s.connectData();
        s.sendData(voice);
        s.closeData();
    });
    logInAndForget();
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Done);
    EXPECT_EQ(readFile(box() / "a.vmdat"), voice);
}

TEST_F(RetrieveTest, RefusedRetrMakesNoFileAndLeavesTheSessionUsable) {
    server.setData("RETR b.vmdat", voice);
    logInAndForget();
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Unavailable);
    EXPECT_FALSE(std::filesystem::exists(box() / "a.vmdat"));
    EXPECT_EQ(retrieve("b.vmdat"), TransferResult::Done);
}

TEST_F(RetrieveTest, DataClosedAtOnceGivesAnEmptyFile) {
    server.setData("RETR a.vmdat", "");
    logInAndForget();
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Done);
    EXPECT_TRUE(std::filesystem::exists(box() / "a.vmdat"));
    EXPECT_EQ(std::filesystem::file_size(box() / "a.vmdat"), 0u);
}

// "150", then a refusal instead of the data connection: the wait for it ends in failure. A
// "425" is not taken for the answer to the next command; after a "421" nothing works.
TEST_F(RetrieveTest, RefusalAfter150EndsInFailure) {
    timing.dataAcceptTimeoutMs = kShortWaitMs;
    server.on("RETR", [](Session& s, const std::string& name) {
        s.reply("150 Opening.");
        s.reply(name == "a.vmdat" ? "425 Can't open data connection." : "421 Going away.");
        if (name != "a.vmdat") {
            s.closeControl();
        }
    });
    server.on("DELE", [](Session& s, const std::string&) { s.reply("450 In use."); });
    logInAndForget();
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(box() / "a.vmdat"));
    EXPECT_EQ(client().DeleteRemoteFile({}, "/a"), TransferResult::Refused);
    EXPECT_EQ(retrieve("b.vmdat"), TransferResult::Failed);
    EXPECT_EQ(client().DeleteRemoteFile({}, "/a"), TransferResult::Failed);
    EXPECT_EQ(client().ProbePort(), CFtpMng::kSilent);
}

// Whole chunks already written stay; the chunk that was still filling is lost.
TEST_F(RetrieveTest, DataThatStallsFailsAndLeavesThePartForTheCaller) {
    timing.dataReadTimeoutMs = kShortWaitMs;
    server.on("RETR", [](Session& s, const std::string&) {
        s.connectData();
        s.reply("150 Opening.");
        s.sendData(std::string(1500, 'p'));
        s.readCommand();  // holds the data connection open until the client goes
    });
    logInAndForget();
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Failed);
    EXPECT_EQ(readFile(box() / "a.vmdat"), std::string(1024, 'p'));
}

// ABOR, then "426" and "225": both are read, so the CWD that follows gets its own answer.
TEST_F(RetrieveTest, CancelSendsAborKeepsThePartAndStaysInStep) {
    // Cancel as a user would, once the first chunk is in the file.
    bool fired = false;
    CancellingUi cancelling(cancel, [&] {
        std::error_code ec;
        const bool firstChunkIn = std::filesystem::file_size(box() / "a.vmdat", ec) >= 1024 && !ec;
        return !std::exchange(fired, fired || firstChunkIn) && firstChunkIn;
    });
    ui = &cancelling;
    server.on("RETR", [](Session& s, const std::string&) {
        s.connectData();
        s.reply("150 Opening.");
        s.sendData(std::string(1024, 'a'));
        if (s.readCommand() == "ABOR") {
            s.send("426 Transfer aborted.\r\n225 ABOR successful.\r\n");
        }
    });
    server.setData("NLST", "a.vminf\r\n");
    logInAndForget();
    std::filesystem::create_directories(box());
    std::string names;
    const ListingResult listed = client().RunOperation(box(), [&] {
        EXPECT_EQ(client().RetrieveFile("a.vmdat", ""), TransferResult::Cancelled);
        cancel = 0;
        return client().ListNames(names, "/rusuroku/0101", false);
    });
    EXPECT_EQ(listed, ListingResult::Listed);
    EXPECT_EQ(names, "a.vminf\r\n");
    EXPECT_EQ(readFile(box() / "a.vmdat"), std::string(1024, 'a'));
    const Lines sent = commandsSinceLogIn();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[2], "ABOR");
    EXPECT_EQ(sent[3], "CWD /rusuroku/0101");
}

// A main unit that never connects back must not cost a socket per attempt.
TEST_F(RetrieveTest, NoDescriptorIsLeftBehindWhenTheDataConnectionNeverComes) {
    timing.dataAcceptTimeoutMs = kShortWaitMs;
    server.on("RETR", [](Session& s, const std::string&) { s.reply("150 Opening."); });
    logInAndForget();
    std::filesystem::create_directories(box());
    const int before = openDescriptors();
    EXPECT_EQ(retrieve("a.vmdat"), TransferResult::Failed);
    EXPECT_EQ(retrieve("b.vmdat"), TransferResult::Failed);
    EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
}  // namespace orven::test
