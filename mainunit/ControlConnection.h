#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include <netinet/in.h>

namespace orven::mainunit {

// The control connection of one session: command lines in, reply lines out. Lines are cut
// here so that an over-long line never grows a buffer and ABOR can be picked out of the
// queue while a transfer runs.
class ControlConnection {
  public:
    // A command line holds at most this many bytes, CR LF included.
    static constexpr std::size_t kMaxLineBytes = 512;
    // Commands waiting to be answered; a client that sends more is cut off.
    static constexpr std::size_t kMaxQueuedCommands = 64;

    struct Command {
        std::string verb;       // upper case
        std::string argument;   // the raw bytes after the first blank, trailing blanks cut
        bool tooLong = false;   // the line was discarded; verb and argument are empty
        bool badBytes = false;  // NUL or another control byte in the line
    };

    ControlConnection(int fd, const sockaddr_in& peer);
    ~ControlConnection();
    ControlConnection(const ControlConnection&) = delete;
    ControlConnection& operator=(const ControlConnection&) = delete;

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    const sockaddr_in& peer() const { return m_peer; }

    // Takes in what has arrived, without blocking; false once the connection is closed.
    bool receive();
    std::optional<Command> next();
    // Removes a queued ABOR; true when there was one.
    bool takeAbort();
    // "<code> <text>\r\n"; false (and the connection closed) when it cannot be sent.
    bool reply(int code, std::string_view text);
    void close();

    static Command parse(std::string_view line);

  private:
    void take(char byte);

    int m_fd;
    sockaddr_in m_peer;
    std::string m_partial;
    bool m_discarding = false;
    std::deque<Command> m_commands;
};

}  // namespace orven::mainunit
