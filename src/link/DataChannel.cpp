#include "link/DataChannel.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include "link/SocketOps.h"

namespace orven {

DataChannel::DataChannel(FTPCONN_INFO& connection, ControlChannel& control, const Services& context)
    : m_connection(connection), m_control(control), m_context(context) {}

bool DataChannel::Listen() {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    auto* raw = reinterpret_cast<sockaddr*>(&local);
    if (::getsockname(m_connection.controlSocket, raw, &size) != 0 || local.sin_family != AF_INET) {
        return false;
    }
    int listener = SocketOps::openTcp();
    local.sin_port = 0;
    if (listener < 0 || ::bind(listener, raw, sizeof local) != 0 || ::listen(listener, 1) != 0) {
        SocketOps::close(listener);
        return false;
    }
    m_connection.listenSocket = listener;
    return true;
}

std::string DataChannel::PortCommand() const {
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    if (m_connection.listenSocket < 0 ||
        ::getsockname(m_connection.listenSocket, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        return {};
    }
    const std::uint32_t address = ntohl(bound.sin_addr.s_addr);
    const unsigned port = ntohs(bound.sin_port);
    char line[64];
    std::snprintf(line, sizeof line, "PORT %u,%u,%u,%u,%u,%u\r\n", address >> 24,
                  (address >> 16) & 0xff, (address >> 8) & 0xff, address & 0xff, port / 256,
                  port % 256);
    return line;
}

TransferResult DataChannel::OpenActiveData(std::string_view transferCommand) {
    Close();
    if (!Listen()) {
        return TransferResult::Failed;
    }
    const std::string port = PortCommand();
    ReplyCode reply = port.empty() ? ReplyCode::NoReply : m_control.SendCommand(port);
    if (reply == ReplyCode::Success) {
        reply = m_control.SendCommand(transferCommand);
    }
    TransferResult result = transferResultOf(reply);
    if (result == TransferResult::Done && !acceptData()) {
        result = TransferResult::Failed;
    }
    if (result != TransferResult::Done) {
        SocketOps::close(m_connection.listenSocket);
    }
    return result;
}

// On failure the caller closes the listener at once: a main unit that never connects must
// not cost a socket per attempt. Only the main unit we log in to may deliver data: anyone
// else who finds the port is turned away, and the wait goes on within the same time.
bool DataChannel::acceptData() {
    const int listener = m_connection.listenSocket;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(m_context.timing.dataAcceptTimeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !SocketOps::waitFor(listener, POLLIN, int(left.count()))) {
            return false;
        }
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        int data = ::accept4(listener, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_CLOEXEC);
        if (data < 0) {
            return false;
        }
        if (isMainUnit(peer)) {
            SocketOps::setSendTimeout(data, m_context.timing.dataReadTimeoutMs);
            m_connection.dataSocket = data;
            return true;
        }
        SocketOps::reset(data);
    }
}

// The address the control connection is connected to, not the one we asked for: a host name
// may resolve to several.
bool DataChannel::isMainUnit(const sockaddr_in& peer) const {
    sockaddr_in control{};
    socklen_t size = sizeof control;
    if (::getpeername(m_connection.controlSocket, reinterpret_cast<sockaddr*>(&control), &size) !=
        0) {
        return false;
    }
    return peer.sin_family == AF_INET && peer.sin_addr.s_addr == control.sin_addr.s_addr;
}

int DataChannel::ReceiveChunk(char* chunk) {
    std::size_t filled = 0;
    while (filled < kChunkSize) {
        if (m_aheadAt == m_ahead.size()) {
            const int got = readAhead();
            if (got == kReceiveFailed) {
                return kReceiveFailed;
            }
            if (got == 0) {
                break;
            }
        }
        const std::size_t take = std::min(kChunkSize - filled, m_ahead.size() - m_aheadAt);
        std::memcpy(chunk + filled, m_ahead.data() + m_aheadAt, take);
        m_aheadAt += take;
        filled += take;
    }
    return static_cast<int>(filled);
}

int DataChannel::readAhead() {
    const int fd = m_connection.dataSocket;
    m_ahead.resize(kReadAhead);
    m_aheadAt = 0;
    ssize_t got = 0;
    for (;;) {
        got = ::recv(fd, m_ahead.data(), kReadAhead, MSG_DONTWAIT);
        const bool wouldWait = got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        const bool interrupted = got < 0 && errno == EINTR;
        if (!wouldWait && !interrupted) {
            break;
        }
        if (wouldWait && !SocketOps::waitFor(fd, POLLIN, m_context.timing.dataReadTimeoutMs)) {
            break;
        }
    }
    m_ahead.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return got < 0 ? kReceiveFailed : static_cast<int>(got);
}

bool DataChannel::sendPiece(std::string_view bytes, std::size_t& offset) {
    const std::string_view piece = bytes.substr(offset, kChunkSize);
    if (!SocketOps::sendAll(m_connection.dataSocket, piece)) {
        return false;
    }
    offset += piece.size();
    return true;
}

std::int64_t DataChannel::StoreData(std::string_view bytes) {
    std::size_t sent = 0;
    if (!sendPiece(bytes, sent)) {
        return kNothingSent;
    }
    const auto pause = std::chrono::milliseconds(m_context.timing.uploadPiecePauseMs);
    while (sent < bytes.size()) {
        const bool ok = sendPiece(bytes, sent);
        m_context.pump();
        if (!ok) {
            break;
        }
        if (m_context.cancelled()) {
            Abandon();
            m_control.AbortTransfer(true);
            break;
        }
        std::this_thread::sleep_for(pause);
    }
    return static_cast<std::int64_t>(sent);
}

void DataChannel::Close() {
    m_connection.closeDataChannel();
    dropReadAhead();
}

void DataChannel::Abandon() {
    SocketOps::close(m_connection.listenSocket);
    SocketOps::reset(m_connection.dataSocket);
    dropReadAhead();
}

void DataChannel::dropReadAhead() {
    m_ahead.clear();
    m_aheadAt = 0;
}

}  // namespace orven
