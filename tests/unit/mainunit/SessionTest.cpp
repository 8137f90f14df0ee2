#include "MainUnitFixture.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orven::mainunit::test {
namespace {

class SessionTest : public MainUnitTest {};

TEST_F(SessionTest, GreetsAsTheSupportedModelAndAcceptsOnlyItsAccounts) {
    options.model = "VM-8";
    start();
    FtpTestClient first(server->port());
    EXPECT_EQ(first.readReply().text, "220 Zu-KA VM-8");
    EXPECT_EQ(first.command("PASS secret").code, 503);
    EXPECT_EQ(first.command("CWD /rusuroku").code, 530);
    EXPECT_FALSE(first.logIn("maint", "wrong"));
    EXPECT_FALSE(first.logIn("admin", "secret"));
    EXPECT_FALSE(first.logIn("MAINT", "secret"));
    EXPECT_TRUE(first.logIn("office", "secret"));
    EXPECT_EQ(first.command("USER maint").code, 530);  // no change of user
    EXPECT_EQ(first.command("QUIT").code, 221);

    auto second = connect();
    EXPECT_TRUE(second->logIn("maint", "secret"));
}

TEST_F(SessionTest, OnlyOnePcIsLoggedInAtATime) {
    FtpTestClient& first = logIn();
    FtpTestClient second(server->port());
    EXPECT_EQ(second.readReply().code, 421);
    EXPECT_TRUE(second.closedByServer());

    // Two connected before either logged in: the later log-in is turned away.
    first.command("QUIT");
    auto a = connect();
    auto b = connect();
    EXPECT_TRUE(a->logIn("maint", "secret"));
    b->command("USER office");
    EXPECT_EQ(b->command("PASS secret").code, 421);
    EXPECT_EQ(a->command("NOOP").code, 200);
}

TEST_F(SessionTest, WalksTheTreeLikeTheClientDoes) {
    std::filesystem::create_directories(real("/rusuroku/0101"));
    FtpTestClient& c = logIn();
    EXPECT_EQ(c.command("PWD").text, "257 \"/\" is the current directory");
    EXPECT_EQ(c.command("CWD /rusuroku/0101").code, 250);
    EXPECT_EQ(c.command("PWD").text, "257 \"/rusuroku/0101\" is the current directory");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(c.command("CWD ../").code, 250) << i;
    }
    EXPECT_EQ(c.command("PWD").text, "257 \"/\" is the current directory");
    EXPECT_EQ(c.command("CWD rusuroku").code, 250);
    EXPECT_EQ(c.command("CWD 0101").code, 250);
    EXPECT_EQ(c.command("CDUP").code, 250);
    EXPECT_EQ(c.command("PWD").text, "257 \"/rusuroku\" is the current directory");
    EXPECT_EQ(c.command("CWD 0999").code, 550);
    EXPECT_EQ(c.command("CWD /naisen/0101").code, 550);
    EXPECT_EQ(c.command("PWD").text, "257 \"/rusuroku\" is the current directory");
}

TEST_F(SessionTest, AnswersTheSmallCommandsAndRefusesPassiveMode) {
    FtpTestClient& c = logIn();
    EXPECT_EQ(c.command("SYST").text, "215 UNIX Type: L8");
    EXPECT_EQ(c.command("TYPE I").code, 200);
    EXPECT_EQ(c.command("noop").code, 200);
    EXPECT_EQ(c.command("ABOR").code, 225);
    for (const char* unknown : {"PASV", "EPSV", "MKD /x", "XYZZY"}) {
        EXPECT_EQ(c.command(unknown).code, 502) << unknown;
    }
}

TEST_F(SessionTest, OverLongAndBadLinesAreRefusedAndTheSessionGoesOn) {
    FtpTestClient& c = logIn();
    c.sendRaw("CWD /" + std::string(600, 'a') + "\r\nNOOP\r\n");
    EXPECT_EQ(c.readReply().code, 500);
    EXPECT_EQ(c.readReply().code, 200);
    EXPECT_EQ(c.command("CWD /" + std::string(505, 'a')).code, 550);  // 512 bytes: allowed
    c.sendRaw(std::string("CWD /rus\0uroku\r\n", 16));
    EXPECT_EQ(c.readReply().code, 501);
    EXPECT_EQ(c.command("NOOP").code, 200);
}

TEST_F(SessionTest, DataConnectionsGoOnlyToTheClientThatAsked) {
    FtpTestClient& c = logIn();
    EXPECT_EQ(c.command("NLST").code, 425);  // no PORT yet
    EXPECT_EQ(c.command("PORT 10,1,2,3,200,10").text, "500 Illegal PORT command.");
    EXPECT_EQ(c.command("PORT 127,0,0,1,300,1").code, 500);
    EXPECT_EQ(c.command("PORT 127,0,0,1").code, 500);

    // A port nobody listens on: 425 and no 150.
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    const int port = ntohs(address.sin_port);
    c.command("PORT 127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256));
    EXPECT_EQ(c.command("NLST /").code, 425);
}

}  // namespace
}  // namespace orven::mainunit::test
