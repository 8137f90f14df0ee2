#include "mainunit/DataChannel.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "mainunit/ControlConnection.h"
#include "mainunit/Payload.h"
#include "mainunit/StopSignal.h"

namespace orven::mainunit {
namespace {

constexpr std::size_t kPieceSize = 16384;

// How much of a transfer may still move before the fault cuts it; -1 for no limit.
std::int64_t roomBeforeDrop(std::int64_t dropAfter, std::uint64_t moved) {
    if (dropAfter < 0) {
        return -1;
    }
    return std::max<std::int64_t>(0, dropAfter - static_cast<std::int64_t>(moved));
}

}  // namespace

DataChannel::DataChannel(ControlConnection& control, const StopSignal& stop, int timeoutMs)
    : m_control(control), m_stop(stop), m_timeoutMs(timeoutMs) {}

DataChannel::~DataChannel() {
    close();
}

void DataChannel::close() {
    if (m_fd >= 0) {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_fd = -1;
    }
}

bool DataChannel::connect(const sockaddr_in& target, const sockaddr_in* from) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        return false;
    }
    if (from && ::bind(m_fd, reinterpret_cast<const sockaddr*>(from), sizeof *from) != 0) {
        close();
        return false;
    }
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
        return true;
    }
    if (errno != EINPROGRESS || wait(POLLOUT) != Ready::Data) {
        close();
        return false;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        close();
        return false;
    }
    return true;
}

// Waits for the data socket, and meanwhile takes in control lines to see ABOR or a client
// that has gone.
DataChannel::Ready DataChannel::wait(short events) {
    if (!m_control.isOpen()) {
        return Ready::Control;
    }
    pollfd fds[3] = {{m_fd, events, 0}, {m_control.fd(), POLLIN, 0}, {m_stop.fd(), POLLIN, 0}};
    int n;
    do {
        n = ::poll(fds, 3, m_timeoutMs);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        return Ready::TimedOut;
    }
    if (fds[2].revents != 0) {
        return Ready::Stop;
    }
    if (fds[1].revents != 0) {
        return Ready::Control;
    }
    return Ready::Data;
}

bool DataChannel::controlAlive() {
    if (!m_control.receive()) {
        return false;
    }
    m_aborted = m_control.takeAbort();
    return !m_aborted;
}

DataChannel::Outcome DataChannel::send(Payload& payload, std::int64_t dropAfter) {
    std::uint64_t sent = 0;
    char buffer[kPieceSize];
    for (;;) {
        const std::int64_t room = roomBeforeDrop(dropAfter, sent);
        const std::size_t want = room < 0 ? kPieceSize : std::min<std::size_t>(kPieceSize, room);
        const std::ptrdiff_t n = payload.read(buffer, want);
        if (n < 0) {
            return Outcome::Failed;
        }
        if (n == 0) {
            return room == 0 && sent < payload.size() ? Outcome::Dropped : Outcome::Done;
        }
        const Outcome outcome = sendPiece(buffer, static_cast<std::size_t>(n));
        if (outcome != Outcome::Done) {
            return outcome;
        }
        sent += static_cast<std::uint64_t>(n);
    }
}

std::optional<DataChannel::Outcome> DataChannel::waitReady(short events) {
    for (;;) {
        switch (wait(events)) {
            case Ready::Stop:
                return Outcome::Stopped;
            case Ready::TimedOut:
                return Outcome::Failed;
            case Ready::Control:
                if (!controlAlive()) {
                    return m_aborted ? Outcome::Aborted : Outcome::Failed;
                }
                continue;
            case Ready::Data:
                return std::nullopt;
        }
    }
}

DataChannel::Outcome DataChannel::sendPiece(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        if (const auto ended = waitReady(POLLOUT)) {
            return *ended;
        }
        const ssize_t n = ::send(m_fd, data + done, size - done, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return Outcome::Failed;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return Outcome::Done;
}

DataChannel::Outcome DataChannel::receive(std::string& bytes, std::size_t limit,
                                          std::int64_t dropAfter) {
    char buffer[kPieceSize];
    for (;;) {
        const std::int64_t room = roomBeforeDrop(dropAfter, bytes.size());
        if (room == 0) {
            return Outcome::Dropped;
        }
        if (const auto ended = waitReady(POLLIN)) {
            return *ended;
        }
        const std::size_t want = room < 0 ? kPieceSize : std::min<std::size_t>(kPieceSize, room);
        const ssize_t n = ::recv(m_fd, buffer, want, 0);
        if (n == 0) {
            return Outcome::Done;
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            return Outcome::Failed;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > limit) {
            return Outcome::TooLarge;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace orven::mainunit
