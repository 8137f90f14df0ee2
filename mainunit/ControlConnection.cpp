#include "mainunit/ControlConnection.h"

#include <algorithm>
#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

namespace orven::mainunit {
namespace {

// Telnet "interrupt process" and "synch" that some clients put in front of ABOR, and any
// other byte that cannot start a verb.
bool isLeadingNoise(unsigned char c) {
    return c < 0x21 || c >= 0x7f;
}

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
    return result;
}

}  // namespace

ControlConnection::ControlConnection(int fd, const sockaddr_in& peer) : m_fd(fd), m_peer(peer) {}

ControlConnection::~ControlConnection() {
    close();
}

void ControlConnection::close() {
    if (m_fd >= 0) {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_fd = -1;
    }
}

// One read per call: the poll loop comes back while more is waiting, and a client that
// floods the connection with commands cannot grow the queue without bound.
bool ControlConnection::receive() {
    char buffer[4096];
    const ssize_t n = m_fd < 0 ? 0 : ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return true;
    }
    if (n <= 0 || m_commands.size() > kMaxQueuedCommands) {
        close();  // closed by the peer, broken, or flooded
        return false;
    }
    std::for_each(buffer, buffer + n, [this](char c) { take(c); });
    return true;
}

// A line longer than the limit is dropped up to its LF and answered as one bad command.
void ControlConnection::take(char byte) {
    if (byte == '\n') {
        Command command;
        if (m_discarding) {
            command.tooLong = true;
        } else {
            command = parse(m_partial);
        }
        m_commands.push_back(std::move(command));
        m_partial.clear();
        m_discarding = false;
    } else if (!m_discarding) {
        m_partial.push_back(byte);
        if (m_partial.size() > kMaxLineBytes - 1) {  // the LF still to come makes one more
            m_partial.clear();
            m_discarding = true;
        }
    }
}

ControlConnection::Command ControlConnection::parse(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    while (!line.empty() && isLeadingNoise(static_cast<unsigned char>(line.front()))) {
        line.remove_prefix(1);
    }
    Command command;
    command.badBytes = std::any_of(line.begin(), line.end(),
                                   [](unsigned char c) { return c < 0x20 || c == 0x7f; });
    const auto blank = line.find(' ');
    command.verb = upper(line.substr(0, blank));
    if (blank != std::string_view::npos) {
        std::string_view argument = line.substr(blank + 1);
        while (!argument.empty() && argument.back() == ' ') {
            argument.remove_suffix(1);
        }
        command.argument = std::string(argument);
    }
    return command;
}

std::optional<ControlConnection::Command> ControlConnection::next() {
    if (m_commands.empty()) {
        return std::nullopt;
    }
    Command command = std::move(m_commands.front());
    m_commands.pop_front();
    return command;
}

bool ControlConnection::takeAbort() {
    const auto it = std::find_if(m_commands.begin(), m_commands.end(),
                                 [](const Command& c) { return c.verb == "ABOR"; });
    if (it == m_commands.end()) {
        return false;
    }
    m_commands.erase(it);
    return true;
}

bool ControlConnection::reply(int code, std::string_view text) {
    if (m_fd < 0) {
        return false;
    }
    const std::string line = std::to_string(code) + " " + std::string(text) + "\r\n";
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::send(m_fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n <= 0 && errno != EINTR) {
            close();
            return false;
        }
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return true;
}

}  // namespace orven::mainunit
