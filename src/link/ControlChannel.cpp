#include "link/ControlChannel.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include <poll.h>
#include <sys/socket.h>

#include "link/SocketOps.h"
#include "platform/CodePage.h"
#include "platform/DialogueLog.h"

namespace orven {
namespace {

constexpr std::array kSuccessCodes = {120, 125, 150, 200, 202, 211, 212, 213,
                                      214, 215, 227, 230, 250, 257, 331, 350};
constexpr int kGreeting = 220;
constexpr int kAborted = 225;
constexpr int kTransferComplete = 226;
constexpr std::size_t kTransferEndBytes = 1024;
// A main unit that keeps talking must not hold the client: draining and the wait for the end
// of an abort stop after this many lines or once a reply time has passed in all.
constexpr int kDrainMaxLines = 1000;
constexpr int kAbortMaxLines = 16;

std::chrono::steady_clock::time_point deadlineAfter(int ms) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

bool isSuccessCode(int code) {
    return std::find(kSuccessCodes.begin(), kSuccessCodes.end(), code) != kSuccessCodes.end();
}

bool isDelimiter(char c) {
    return c == ' ' || c == '-';
}

// What atoi skips that is not a delimiter already.
bool isControlBlank(char c) {
    return c >= '\t' && c <= '\r';
}

// "220 Zu-KA ..." or "220-Zu-KA ...": the three digits, any one character, then the model.
bool namesSupportedModel(std::string_view line) {
    return line.starts_with("220") && line.size() >= 9 && line.substr(4, 5) == "Zu-KA";
}

}  // namespace

ControlChannel::ControlChannel(FTPCONN_INFO& connection, const Services& context)
    : m_connection(connection), m_context(context) {}

// A failed send is not the end: a "421" the main unit sent before it closed is still there
// to be read, and a dead socket answers the read at once.
ReplyCode ControlChannel::SendCommand(std::string_view line) {
    SendLine(line);
    std::string reply;
    if (readLine(reply) == kNoLine) {
        return ReplyCode::NoReply;
    }
    return Classify(reply);
}

bool ControlChannel::SendLine(std::string_view line) {
    if (line.empty()) {
        return true;
    }
    logSent(line);
    return SocketOps::sendAll(m_connection.controlSocket, CodePage::utf8ToCp932(line));
}

// Whatever came is logged, also a line cut short by a time-out: support wants to see it.
int ControlChannel::ReadReplyLine(std::string& line, std::size_t capacity, int timeoutMs) {
    bool ended = false;
    const int length = receiveLine(line, capacity, timeoutMs, ended);
    if (ended || !line.empty()) {
        logReceived(line);
    }
    return length;
}

// ended: the line's CR LF came.
int ControlChannel::receiveLine(std::string& line, std::size_t capacity, int timeoutMs,
                                bool& ended) {
    line.clear();
    const int fd = m_connection.controlSocket;
    while (line.size() + 1 < capacity) {
        if (!SocketOps::waitFor(fd, POLLIN, timeoutMs)) {
            return kNoLine;
        }
        char byte = 0;
        const ssize_t got = ::recv(fd, &byte, 1, 0);
        if (got == 0) {
            break;  // closed part way: what came is the line
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return kNoLine;
        }
        if (byte == '\n' && !line.empty() && line.back() == '\r') {
            line.pop_back();
            ended = true;
            break;
        }
        line.push_back(byte);
        m_context.pump();
    }
    return static_cast<int>(line.size());
}

int ControlChannel::readLine(std::string& line) {
    return ReadReplyLine(line, kLineCapacity, m_context.timing.replyTimeoutMs);
}

void ControlChannel::DrainControl() {
    const auto deadline = deadlineAfter(m_context.timing.replyTimeoutMs);
    std::string line;
    for (int lines = 0; lines < kDrainMaxLines && std::chrono::steady_clock::now() < deadline;
         ++lines) {
        m_context.pump();
        if (ReadReplyLine(line, kLineCapacity, m_context.timing.drainLineTimeoutMs) <= 0) {
            return;
        }
    }
}

// "426 Transfer aborted." comes first when a transfer was running; the "225" after it must
// be read here, or it would be taken for the reply to the next command.
void ControlChannel::AbortTransfer(bool noWait) {
    std::string line;
    SendLine("ABOR\r\n");
    if (readLine(line) <= 0 || CodeOf(line) == kAborted || noWait) {
        return;
    }
    const auto deadline = deadlineAfter(m_context.timing.replyTimeoutMs);
    for (int lines = 1; lines < kAbortMaxLines && std::chrono::steady_clock::now() < deadline;
         ++lines) {
        if (readLine(line) <= 0 || CodeOf(line) == kAborted) {
            break;
        }
    }
}

ReplyCode ControlChannel::ReadFinalReply(int timeoutMs) {
    std::string line;
    if (ReadReplyLine(line, kLineCapacity, timeoutMs) == kNoLine) {
        return ReplyCode::NoReply;
    }
    return ClassifyFinal(line);
}

bool ControlChannel::ReadTransferEnd() {
    const int fd = m_connection.controlSocket;
    if (!SocketOps::waitFor(fd, POLLIN, m_context.timing.transferEndReadTimeoutMs)) {
        return false;
    }
    char reply[kTransferEndBytes];
    const ssize_t got = ::recv(fd, reply, sizeof reply, 0);
    if (got <= 0) {
        return false;
    }
    // The read may hold several reply lines, or the start of one.
    std::string_view rest(reply, static_cast<std::size_t>(got));
    while (!rest.empty()) {
        const std::size_t end = rest.find("\r\n");
        logReceived(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
    }
    return true;
}

void ControlChannel::logSent(std::string_view line) const {
    if (m_context.dialogueLog) {
        if (line.ends_with("\r\n")) {
            line.remove_suffix(2);
        }
        m_context.dialogueLog->record(m_connection.logInNumber, DialogueLog::Direction::Sent, line);
    }
}

void ControlChannel::logReceived(std::string_view bytes) const {
    if (m_context.dialogueLog) {
        m_context.dialogueLog->record(m_connection.logInNumber, DialogueLog::Direction::Received,
                                      CodePage::cp932ToUtf8(bytes));
    }
}

// Read the way atoi reads the first token: blanks skipped, digits up to the first other
// character. A line without digits there holds no code; neither does "000", which would
// otherwise pass for a success.
int ControlChannel::CodeOf(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && isDelimiter(line[at])) {
        ++at;
    }
    while (at < line.size() && isControlBlank(line[at])) {
        ++at;
    }
    int code = 0;
    bool digits = false;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9' && code < 100000; ++at) {
        code = code * 10 + (line[at] - '0');
        digits = true;
    }
    return digits && code > 0 ? code : kNoCode;
}

ReplyCode ControlChannel::Classify(std::string_view line) {
    const int code = CodeOf(line);
    if (code == kNoCode) {
        return ReplyCode::NoReply;
    }
    if (code == kGreeting) {
        return namesSupportedModel(line) ? ReplyCode::Success : ReplyCode::OtherServer;
    }
    return isSuccessCode(code) ? ReplyCode::Success : replyCodeOf(code);
}

ReplyCode ControlChannel::ClassifyFinal(std::string_view line) {
    const int code = CodeOf(line);
    if (code == kNoCode) {
        return ReplyCode::NoReply;
    }
    const bool ended = code == kGreeting || code == kTransferComplete || isSuccessCode(code);
    return ended ? ReplyCode::Success : replyCodeOf(code);
}

}  // namespace orven
