#include <gtest/gtest.h>

#include <string>

#include <sys/socket.h>
#include <unistd.h>

#include "LinkFixture.h"
#include "link/ControlChannel.h"
#include "link/SocketOps.h"

namespace orven::test {
namespace {

// The control channel over one end of a socket pair; the test plays the main unit on the
// other end.
class ControlChannelTest : public ::testing::Test {
  protected:
    ControlChannelTest() {
        int pair[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
        SocketOps::close(connection.controlSocket);
        connection.controlSocket = pair[0];
        peer = pair[1];
        context.timing = quickTiming();
        context.timing.replyTimeoutMs = kShortWaitMs;
    }
    ~ControlChannelTest() override { SocketOps::close(peer); }

    void unitSends(std::string_view bytes) { ASSERT_TRUE(SocketOps::sendAll(peer, bytes)); }
    std::string clientSent() {
        std::string bytes;
        char chunk[512];
        for (ssize_t got; (got = ::recv(peer, chunk, sizeof chunk, MSG_DONTWAIT)) > 0;) {
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
        return bytes;
    }
    std::string nextLine() {
        std::string line;
        return control.ReadReplyLine(line, ControlChannel::kLineCapacity, 200) < 0 ? "(none)"
                                                                                   : line;
    }

    FTPCONN_INFO connection;
    LinkContext context;
    ControlChannel control{connection, context};
    int peer = -1;
};

TEST(ReplyClassification, SuccessSetAndTheMainUnitGreeting) {
    EXPECT_EQ(ControlChannel::Classify("150 Opening data connection."), 0);
    EXPECT_EQ(ControlChannel::Classify("331 Password please."), 0);
    EXPECT_EQ(ControlChannel::Classify("350 Ready."), 0);
    EXPECT_EQ(ControlChannel::Classify("226 Transfer complete."), 226);
    EXPECT_EQ(ControlChannel::Classify("530-Login incorrect."), 530);
    EXPECT_EQ(ControlChannel::Classify("421 Service not available."), 421);

    // Only the three digits and characters 5 to 9 count.
    EXPECT_EQ(ControlChannel::Classify("220 Zu-KA VM-8 voice mail unit"), 0);
    EXPECT_EQ(ControlChannel::Classify("220-Zu-KA"), 0);
    EXPECT_EQ(ControlChannel::Classify("220 (vsFTPd 3.0.3)"), 220);
    EXPECT_EQ(ControlChannel::Classify("220  Zu-KA two blanks"), 220);
    EXPECT_EQ(ControlChannel::Classify(" 220 Zu-KA"), 220);

    // No code at all is a failure, never a success.
    EXPECT_EQ(ControlChannel::Classify(""), -1);
    EXPECT_EQ(ControlChannel::Classify("hello"), -1);
    EXPECT_EQ(ControlChannel::Classify("000 zero"), -1);

    // The end of a STOR also takes 226 and any 220.
    EXPECT_EQ(ControlChannel::ClassifyFinal("226 Transfer complete."), 0);
    EXPECT_EQ(ControlChannel::ClassifyFinal("220 anything"), 0);
    EXPECT_EQ(ControlChannel::ClassifyFinal("450 In use."), 450);
}

TEST_F(ControlChannelTest, LongLineIsCutAt510AndTheRestReadAsANewLine) {
    unitSends("250 " + std::string(506, 'x') + "550 tail\r\n");
    EXPECT_EQ(control.SendCommand("CWD /naisen\r\n"), 0);
    EXPECT_EQ(clientSent(), "CWD /naisen\r\n");
    EXPECT_EQ(nextLine(), "550 tail");
}

TEST_F(ControlChannelTest, LineCutShortByTheUnitClosingIsClassified) {
    unitSends("550 Gone");
    SocketOps::close(peer);
    EXPECT_EQ(control.SendCommand("DELE /naisen/0201/x.vminf\r\n"), 550);
    EXPECT_EQ(control.SendCommand({}), -1);  // nothing more: closed
}
}  // namespace
}  // namespace orven::test
