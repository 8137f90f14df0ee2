#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include "LinkFixture.h"

namespace orven::test {
namespace {

using Session = ScriptedFtpServer::Session;
using Lines = std::vector<std::string>;

class LogInTest : public ScriptedLinkTest {
  protected:
    void greetWith(std::string greeting) {
        server.onGreeting([greeting](Session& s, const std::string&) { s.send(greeting); });
    }
};

TEST_F(LogInTest, SendsUserThenPassEvenAfter230) {
    server.on("USER", [](Session& s, const std::string&) { s.reply("230 Already in."); });
    EXPECT_EQ(logIn(), LoginResult::LoggedIn);
    EXPECT_EQ(server.commands(), (Lines{"USER maint", "PASS secret"}));
    EXPECT_TRUE(client().IsLoggedIn());
}

TEST_F(LogInTest, GreetingMustNameTheMainUnit) {
    greetWith("220-Zu-KA VM-8\r\n");
    EXPECT_EQ(logIn(), LoginResult::LoggedIn);

    greetWith("220 (vsFTPd 3.0.3)\r\n");
    EXPECT_EQ(logIn(), LoginResult::UnsupportedMainUnit);
    EXPECT_EQ(server.commands(), (Lines{"USER maint", "PASS secret"}));  // none the second time
}

TEST_F(LogInTest, RefusedOrSilentGreetingIsNoConnection) {
    timing.replyTimeoutMs = kShortWaitMs;
    greetWith("421 Too many users.\r\n");
    EXPECT_EQ(logIn(), LoginResult::NoConnection);
    greetWith("");
    EXPECT_EQ(logIn(), LoginResult::NoConnection);
    EXPECT_TRUE(server.commands().empty());
}

TEST_F(LogInTest, ConnectsByNameOrFailsWithoutAListener) {
    EXPECT_EQ(client().Login("localhost", "maint", "secret", server.port()), LoginResult::LoggedIn);

    // A bound socket that does not listen: its port refuses every connection.
    const int closedPort = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(closedPort, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::getsockname(closedPort, reinterpret_cast<sockaddr*>(&address), &size), 0);
    EXPECT_EQ(client().Login("127.0.0.1", "maint", "secret", ntohs(address.sin_port)),
              LoginResult::NoConnection);
    ::close(closedPort);
}

TEST_F(LogInTest, UserRefusedMeansNoPass) {
    server.on("USER", [](Session& s, const std::string&) { s.reply("530 Not allowed."); });
    EXPECT_EQ(logIn(), LoginResult::Refused);
    EXPECT_EQ(server.commands(), (Lines{"USER maint"}));

    server.on("USER", [](Session& s, const std::string&) { s.reply("331 Password."); });
    server.on("PASS", [](Session& s, const std::string&) { s.reply("530 Login incorrect."); });
    EXPECT_EQ(logIn(), LoginResult::Refused);
}

TEST_F(LogInTest, RepliesArrivingOneByteAtATimeAreWholeLines) {
    server.onGreeting([](Session& s, const std::string&) { s.sendByteByByte("220 Zu-KA\r\n"); });
    server.on("USER", [](Session& s, const std::string&) { s.sendByteByByte("331 Pass.\r\n"); });
    server.on("PASS", [](Session& s, const std::string&) { s.sendByteByByte("230 In.\r\n"); });
    EXPECT_EQ(logIn(), LoginResult::LoggedIn);
}

// Continuation lines must not be taken for the answer to the next command.
TEST_F(LogInTest, MultiLineRepliesAreDrainedBeforeTheNextCommand) {
    greetWith("220-Zu-KA VM-8\r\n220-Welcome.\r\n220 Ready.\r\n");
    server.on("DELE", [](Session& s, const std::string& path) {
        s.send(path == "/a" ? "250-Deleted.\r\n250 Really.\r\n" : "550 No such file.\r\n");
    });
    logInAndForget();
    EXPECT_EQ(server.commands(), (Lines{"USER maint", "PASS secret"}));
    EXPECT_EQ(client().DeleteRemoteFile({}, "/a"), TransferResult::Done);
    EXPECT_EQ(client().DeleteRemoteFile({}, "/b"), TransferResult::Unavailable);
}

TEST_F(LogInTest, LineBreaksInUserInputAreNeverSent) {
    EXPECT_EQ(client().Login("127.0.0.1", "maint\r\nDELE /x", "secret", server.port()),
              LoginResult::BadInput);
    EXPECT_EQ(client().Login("127.0.0.1", "maint", std::string("se\0cret", 7), server.port()),
              LoginResult::BadInput);
    EXPECT_EQ(server.connections(), 0);

    logInAndForget();
    EXPECT_EQ(client().DeleteRemoteFile({}, "/a\nDELE /b"), TransferResult::Failed);
    EXPECT_EQ(client().PutFile("x", {}, "/a\r"), TransferResult::Failed);
    EXPECT_EQ(client().CountRemoteFiles({}, "/naisen\n"), RemoteCount::kFailed);
    std::string text;
    EXPECT_EQ(client().ListLong(text, "/naisen\r\nDELE /b", false), ListingResult::Failed);
    EXPECT_EQ(client().RetrieveFile("a\n", ""), TransferResult::Failed);
    EXPECT_EQ(client().DeleteRemoteFile({}, "/c"), TransferResult::Done);
    EXPECT_EQ(commandsSinceLogIn().back(), "DELE /c");
    EXPECT_EQ(commandsSinceLogIn().size(), 6u);  // five "CWD ../" and the last DELE
}

TEST_F(LogInTest, LogoutSaysQuitAndLaterCallsFailAtOnce) {
    logInAndForget();
    client().Logout();
    EXPECT_EQ(commandsSinceLogIn(), (Lines{"QUIT"}));
    EXPECT_FALSE(client().IsLoggedIn());
    EXPECT_EQ(hooks.loggedOutCount, 1);
    EXPECT_EQ(client().DeleteRemoteFile({}, "/a"), TransferResult::Failed);
    EXPECT_EQ(client().ProbePort(), CFtpMng::kSilent);
    EXPECT_EQ(hooks.started, 0);  // a call without a connection is no operation
}

// Without a session no step runs, and each kind of operation fails in its callers' terms.
TEST_F(LogInTest, OperationsWithoutASessionFailInTheirOwnTerms) {
    bool ran = false;
    const auto step = [&ran](auto result) {
        return [&ran, result] {
            ran = true;
            return result;
        };
    };
    EXPECT_EQ(client().RunOperation({}, step(JobResult::Done)), JobResult::CommunicationFailure);
    EXPECT_EQ(client().RunOperation({}, step(ListingResult::Listed)), ListingResult::Failed);
    EXPECT_EQ(client().RunOperation({}, step(TransferResult::Done)), TransferResult::Failed);
    EXPECT_EQ(client().RunOperation({}, step(FileSizeResult::Found)), FileSizeResult::Failed);
    EXPECT_EQ(client().RunOperation({}, step(3)), RemoteCount::kFailed);
    EXPECT_FALSE(ran);
    EXPECT_EQ(hooks.started, 0);
}

TEST_F(LogInTest, EveryOperationIsFramedByTheHooks) {
    logInAndForget();
    EXPECT_EQ(client().DeleteRemoteFile({}, "/a"), TransferResult::Done);
    EXPECT_EQ(client().CountRemoteFiles({}, "/naisen/0201"), 0);
    EXPECT_EQ(hooks.started, 2);
    EXPECT_EQ(hooks.finished, 2);
}

TEST_F(LogInTest, ProbePortCountsAnyReplyAsAlive) {
    server.on("PORT", [](Session& s, const std::string&) { s.reply("500 Illegal PORT command."); });
    logInAndForget();
    EXPECT_EQ(client().ProbePort(), CFtpMng::kAnswered);
    ASSERT_EQ(commandsSinceLogIn().size(), 1u);
    EXPECT_TRUE(commandsSinceLogIn()[0].starts_with("PORT 127,0,0,1,"));

    server.on("PORT", [](Session& s, const std::string&) { s.closeControl(); });
    EXPECT_EQ(client().ProbePort(), CFtpMng::kSilent);
    EXPECT_EQ(hooks.started, 0);  // the probe runs outside the operation frame
}

}  // namespace
}  // namespace orven::test
