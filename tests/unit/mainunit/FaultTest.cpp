#include "MainUnitFixture.h"

#include <algorithm>
#include <utility>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orven::mainunit::test {
namespace {

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, FtpTestClient::kWaitMs) > 0;
}

// A data port accepted by hand, to see every connection that reaches it and where from.
struct HandDataPort {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};

    HandDataPort() {
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(fd, 4);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    }
    ~HandDataPort() { ::close(fd); }

    std::string portCommand() const {
        const int port = ntohs(address.sin_port);
        return "PORT 127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256);
    }

    // The next connection's address and its data to the end; nothing when none came.
    std::pair<std::string, std::string> next() const {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int data =
            readable(fd) ? ::accept(fd, reinterpret_cast<sockaddr*>(&peer), &length) : -1;
        char from[INET_ADDRSTRLEN] = {};
        std::string bytes;
        char buffer[4096];
        for (ssize_t n = 1; data >= 0 && n > 0 && readable(data);) {
            n = ::recv(data, buffer, sizeof buffer, 0);
            bytes.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        if (data >= 0) {
            ::close(data);
            ::inet_ntop(AF_INET, &peer.sin_addr, from, sizeof from);
        }
        return {from, bytes};
    }
};

// The misbehaviour tests of the client switch on, and ABOR.
class FaultTest : public MainUnitTest {
  protected:
    void SetUp() override {
        writeFile(real(kBox) / "file.bin", std::string(1000, 'f'));
        addMessage(kBox, "202401050930_FRI_0101_00001");
        addMessage(kBox, "202401061000_SAT_0101_00002");
        start();
    }

    void set(const MainUnitFaults& faults) { server->setFaults(faults); }

    const std::string file = std::string(kBox) + "/file.bin";
    const std::string nlst = std::string("NLST ") + kBox;
};

TEST_F(FaultTest, RefusedLogIn) {
    set({.refuseLogIn = true});
    auto c = connect();
    EXPECT_FALSE(c->logIn("maint", "secret"));
}

TEST_F(FaultTest, ControlConnectionDroppedAfterCommandsOnceOrAlways) {
    set({.dropControlAfterCommands = 3, .dropOnce = true});
    auto c = connect();
    EXPECT_TRUE(c->logIn("maint", "secret"));
    EXPECT_EQ(c->command("NOOP").code, 200);
    EXPECT_TRUE(c->closedByServer());
    EXPECT_EQ(server->faults().dropControlAfterCommands, 0);

    auto again = connect();  // the fault fired once
    EXPECT_TRUE(again->logIn("maint", "secret"));
    EXPECT_EQ(again->command("NOOP").code, 200);
    EXPECT_EQ(again->command("NOOP").code, 200);
}

TEST_F(FaultTest, DataConnectionCutAfterBytes) {
    set({.dropDataAfterBytes = 100});
    FtpTestClient& c = logIn();
    const auto retrieved = c.retrieve(std::string("RETR ") + kBox + "/file.bin");
    EXPECT_EQ(retrieved.data, std::string(100, 'f'));
    EXPECT_EQ(retrieved.last.code, 426);

    const auto stored = c.store(std::string("STOR ") + kBox + "/new.bin", std::string(5000, 'n'));
    EXPECT_EQ(stored.last.code, 426);
    EXPECT_FALSE(exists(std::string(kBox) + "/new.bin"));
    EXPECT_EQ(c.command("NOOP").code, 200);
}

TEST_F(FaultTest, StalledRepliesStillCome) {
    set({.stallMs = 20, .stallCommand = "CWD"});
    FtpTestClient& c = logIn();
    EXPECT_EQ(c.command(std::string("CWD ") + kBox).code, 250);
    set({.stallMs = 20});
    EXPECT_EQ(c.retrieve("RETR file.bin").last.code, 226);
}

TEST_F(FaultTest, AborEndsAnUploadWith426Then225) {
    FtpTestClient& c = logIn();
    ASSERT_EQ(c.openDataPort().code, 200);
    EXPECT_EQ(c.command(std::string("STOR ") + kBox + "/partial.bin").code, 150);
    ASSERT_TRUE(c.acceptData());
    c.sendData("half of it");
    EXPECT_EQ(c.command("ABOR").code, 426);
    EXPECT_EQ(c.readReply().code, 225);
    c.closeData();
    EXPECT_FALSE(exists(std::string(kBox) + "/partial.bin"));
    EXPECT_EQ(c.command("NOOP").code, 200);
}

TEST_F(FaultTest, StopEndsAStalledSessionAndATransfer) {
    FtpTestClient& c = logIn();
    ASSERT_EQ(c.openDataPort().code, 200);
    EXPECT_EQ(c.command(std::string("STOR ") + kBox + "/never.bin").code, 150);
    set({.stallMs = 600000});
    server->stop();  // returns although the transfer waits for data and replies stall
    EXPECT_TRUE(c.closedByServer());
    EXPECT_FALSE(exists(std::string(kBox) + "/never.bin"));
}

// Cut after a count, in half, by the earlier of two cuts, or not at all when the listing is
// no longer than the count.
TEST_F(FaultTest, ListingCutShortIsAnswered426) {
    FtpTestClient& c = logIn();
    for (const std::string& command : {nlst, std::string("NLST -l ") + kBox}) {
        SCOPED_TRACE(command);
        set({});
        const std::string whole = c.retrieve(command).data;
        ASSERT_GT(whole.size(), 40u);
        struct Case {
            MainUnitFaults faults;
            std::size_t kept;
            int last;
        };
        const Case cases[] = {
            {{.cutListingAfterBytes = 7}, 7, 426},
            {{.cutListingInHalf = true}, whole.size() / 2, 426},
            {{.dropDataAfterBytes = 5, .cutListingAfterBytes = 9}, 5, 426},
            {{.cutListingAfterBytes = static_cast<std::int64_t>(whole.size())}, whole.size(), 226},
        };
        for (const Case& k : cases) {
            set(k.faults);
            const auto cut = c.retrieve(command);
            EXPECT_EQ(cut.data, whole.substr(0, k.kept));
            EXPECT_EQ(cut.last.code, k.last);
        }
    }

    // Only listings are cut, and with dropOnce only the first.
    set({.cutListingInHalf = true, .dropOnce = true});
    EXPECT_EQ(c.retrieve("RETR " + file).last.code, 226);
    EXPECT_EQ(c.retrieve(nlst).last.code, 426);
    EXPECT_FALSE(server->faults().cutListingInHalf);
    EXPECT_EQ(c.retrieve(nlst).last.code, 226);
}

// Blank lines, which the client's line rules skip, put the listing's last line at the limit.
TEST_F(FaultTest, OversizeListingStartsItsLastLineAtTheClientsLimit) {
    FtpTestClient& c = logIn();
    const std::string command = std::string("NLST -l ") + kBox;
    const std::string whole = c.retrieve(command).data;
    const std::size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;
    const std::size_t padding = MainUnitFaults::kClientListingLimit - lastLine;
    set({.oversizeListing = true, .dropOnce = true});
    const auto oversize = c.retrieve(command);
    EXPECT_EQ(oversize.last.code, 226);
    ASSERT_EQ(oversize.data.size(), padding + whole.size());
    EXPECT_EQ(oversize.data.find_first_not_of("\r\n"), padding);
    EXPECT_TRUE(oversize.data.ends_with(whole));
    EXPECT_EQ(c.retrieve(command).data, whole);  // it fired once
}

// The stranger comes from another local address, first, and has ended before the main unit's
// own connection arrives; a client that takes the first connection reads the stranger.
TEST_F(FaultTest, StrangerReachesTheDataPortBeforeTheMainUnit) {
    FtpTestClient& c = logIn();
    const std::string listing = c.retrieve(nlst).data;
    set({.strangerOnDataPort = true, .strangerBytes = "not yours"});
    for (const auto& [command, data] :
         {std::pair{"RETR " + file, std::string(1000, 'f')}, std::pair{nlst, listing}}) {
        SCOPED_TRACE(command);
        HandDataPort port;
        EXPECT_EQ(c.command(port.portCommand()).code, 200);
        EXPECT_EQ(c.command(command).code, 150);
        EXPECT_EQ(port.next(), std::pair(std::string("127.0.0.2"), std::string("not yours")));
        EXPECT_EQ(port.next(), std::pair(std::string("127.0.0.1"), data));
        EXPECT_EQ(c.readReply().code, 226);
    }
    EXPECT_EQ(c.retrieve("RETR " + file).data, "not yours");

    set({.strangerOnDataPort = true, .dropOnce = true});
    EXPECT_EQ(c.retrieve("RETR " + file).data, "");
    EXPECT_FALSE(server->faults().strangerOnDataPort);
    EXPECT_EQ(c.retrieve("RETR " + file).data, std::string(1000, 'f'));
}

}  // namespace
}  // namespace orven::mainunit::test
