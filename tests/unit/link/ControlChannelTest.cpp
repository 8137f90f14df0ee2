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
        const int length = control.ReadReplyLine(line, ControlChannel::kLineCapacity, 200);
        return length == ControlChannel::kNoLine ? "(none)" : line;
    }

    FTPCONN_INFO connection;
    Services context;
    ControlChannel control{connection, context};
    int peer = -1;
};

TEST(ReplyClassification, SuccessSetAndTheMainUnitGreeting) {
    constexpr ReplyCode kSuccess = ReplyCode::Success;
    EXPECT_EQ(ControlChannel::Classify("150 Opening data connection."), kSuccess);
    EXPECT_EQ(ControlChannel::Classify("331 Password please."), kSuccess);
    EXPECT_EQ(ControlChannel::Classify("350 Ready."), kSuccess);
    EXPECT_EQ(ControlChannel::Classify("226 Transfer complete."), replyCodeOf(226));
    EXPECT_EQ(ControlChannel::Classify("530-Login incorrect."), replyCodeOf(530));
    EXPECT_EQ(ControlChannel::Classify("421 Service not available."), replyCodeOf(421));

    // Only the three digits and characters 5 to 9 count.
    EXPECT_EQ(ControlChannel::Classify("220 Zu-KA VM-8 voice mail unit"), kSuccess);
    EXPECT_EQ(ControlChannel::Classify("220-Zu-KA"), kSuccess);
    EXPECT_EQ(ControlChannel::Classify("220 (vsFTPd 3.0.3)"), ReplyCode::OtherServer);
    EXPECT_EQ(ControlChannel::Classify("220  Zu-KA two blanks"), ReplyCode::OtherServer);
    EXPECT_EQ(ControlChannel::Classify(" 220 Zu-KA"), ReplyCode::OtherServer);

    // No code at all is a failure, never a success.
    EXPECT_EQ(ControlChannel::Classify(""), ReplyCode::NoReply);
    EXPECT_EQ(ControlChannel::Classify("hello"), ReplyCode::NoReply);
    EXPECT_EQ(ControlChannel::Classify("000 zero"), ReplyCode::NoReply);

    // The end of a STOR also takes 226 and any 220.
    EXPECT_EQ(ControlChannel::ClassifyFinal("226 Transfer complete."), kSuccess);
    EXPECT_EQ(ControlChannel::ClassifyFinal("220 anything"), kSuccess);
    EXPECT_EQ(ControlChannel::ClassifyFinal("450 In use."), replyCodeOf(450));
}

TEST_F(ControlChannelTest, LongLineIsCutAt510AndTheRestReadAsANewLine) {
    unitSends("250 " + std::string(506, 'x') + "550 tail\r\n");
    EXPECT_EQ(control.SendCommand("CWD /naisen\r\n"), ReplyCode::Success);
    EXPECT_EQ(clientSent(), "CWD /naisen\r\n");
    EXPECT_EQ(nextLine(), "550 tail");
}

TEST_F(ControlChannelTest, LineCutShortByTheUnitClosingIsClassified) {
    unitSends("550 Gone");
    SocketOps::close(peer);
    EXPECT_EQ(control.SendCommand("DELE /naisen/0201/x.vminf\r\n"), ReplyCode::Unavailable);
    EXPECT_EQ(control.SendCommand({}), ReplyCode::NoReply);  // nothing more: closed
}
}  // namespace
}  // namespace orven::test
