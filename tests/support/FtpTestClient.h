#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orven::test {

// A raw FTP client for tests of an FTP server on the loopback interface: it sends exactly
// what the test says and hands back the replies as they came. Active mode only. Every wait
// is bounded by kWaitMs, so a server that misbehaves fails the test instead of hanging it.
class FtpTestClient {
  public:
    static constexpr int kWaitMs = 5000;

    struct Reply {
        int code = 0;  // 0: nothing came (closed or timed out)
        std::string text;
    };
    struct Transfer {
        Reply first;  // the reply to PORT when that failed, else to the transfer command
        std::string data;
        Reply last;  // the reply that ended the transfer
    };

    explicit FtpTestClient(std::uint16_t port);
    ~FtpTestClient();
    FtpTestClient(const FtpTestClient&) = delete;
    FtpTestClient& operator=(const FtpTestClient&) = delete;

    Reply readReply();
    // Sends the line with CR LF and reads one reply.
    Reply command(std::string_view line);
    void sendRaw(std::string_view bytes);
    // USER and PASS; true when PASS is answered 230.
    bool logIn(std::string_view user, std::string_view password);
    // True when the server closes the control connection (within the wait) without a word.
    bool closedByServer();
    void close();

    // PORT, the command, and for a 150 the data read to its end and the final reply.
    Transfer retrieve(std::string_view command);
    // PORT, the command, and for a 150 the data sent and closed and the final reply.
    Transfer store(std::string_view command, std::string_view data);

    // The pieces of those, for tests that break a transfer off half way.
    Reply openDataPort();  // listens on a fresh loopback port and sends PORT for it
    bool acceptData();
    bool sendData(std::string_view bytes);
    std::string readDataToEnd();
    void closeData();

  private:
    bool fill();

    int m_control = -1;
    int m_listener = -1;
    int m_data = -1;
    std::string m_buffer;
};

}  // namespace orven::test
