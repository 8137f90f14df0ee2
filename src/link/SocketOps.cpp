#include "link/SocketOps.h"

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace orven {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool setBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) {
        return false;
    }
    return ::fcntl(fd, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
}

}  // namespace

bool SocketOps::waitFor(int fd, short events, int timeoutMs) {
    if (fd < 0) {
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd entry{fd, events, 0};
    for (int wait = timeoutMs;; wait = msLeft(deadline)) {
        const int ready = ::poll(&entry, 1, wait);
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

int SocketOps::openTcp() {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
}

// An address that swallows the SYN would hang the log-in for minutes, so the wait is
// bounded like every reply.
bool SocketOps::connectWithin(int fd, const sockaddr_in& address, int timeoutMs) {
    if (fd < 0 || !setBlocking(fd, false)) {
        return false;
    }
    const auto* raw = reinterpret_cast<const sockaddr*>(&address);
    bool connected = ::connect(fd, raw, sizeof address) == 0;
    if (!connected && errno == EINPROGRESS && waitFor(fd, POLLOUT, timeoutMs)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    return setBlocking(fd, true) && connected;
}

bool SocketOps::sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void SocketOps::setSendTimeout(int fd, int timeoutMs) {
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

void SocketOps::close(int& fd) {
    if (fd < 0) {
        return;
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    fd = -1;
}

void SocketOps::reset(int& fd) {
    if (fd < 0) {
        return;
    }
    const linger abortive{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(fd);
    fd = -1;
}

bool SocketOps::resolveIPv4(const std::string& host, in_addr& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) {
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    ::freeaddrinfo(found);
    return true;
}

std::uint16_t SocketOps::ftpServicePort() {
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    if (::getservbyname_r("ftp", "tcp", &entry, buffer, sizeof buffer, &found) == 0 && found) {
        return ntohs(static_cast<std::uint16_t>(found->s_port));
    }
    return 21;
}

}  // namespace orven
