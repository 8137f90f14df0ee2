#include "mainunit/MainUnitServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "mainunit/FtpSession.h"
#include "mainunit/MessageStore.h"
#include "mainunit/ServedTree.h"

namespace fs = std::filesystem;

namespace orven::mainunit {
namespace {

constexpr int kTickMs = 500;  // how often idle sessions are looked at
constexpr std::size_t kMaxConnections = 8;

std::string addressText(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return text;
}

void setSendTimeout(int fd, int ms) {
    timeval timeout{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

// Replies are small and each one is awaited by the client; without this, Nagle's algorithm
// holds a reply back until the previous one is acknowledged.
void sendRepliesAtOnce(int fd) {
    int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
}

}  // namespace

MainUnitServer::MainUnitServer(MainUnitOptions options)
    : m_options(std::move(options)), m_faults(m_options.faults) {
    std::error_code ec;
    for (const char* kind : {"rusuroku", "naisen", "outou"}) {
        fs::create_directories(m_options.root / kind, ec);
    }
    m_tree = std::make_unique<ServedTree>(m_options.root);
    m_store = std::make_unique<MessageStore>(*m_tree, m_options.maxResponseMessages);
}

MainUnitServer::~MainUnitServer() {
    stop();
}

bool MainUnitServer::start(std::string* error) {
    std::error_code ec;
    if (!fs::is_directory(m_options.root, ec) || !m_stop.valid() || m_thread.joinable() ||
        m_stop.raised()) {
        if (error) {
            *error = "cannot serve " + m_options.root.string();
        }
        return false;
    }
    if (!listen(error)) {
        return false;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

bool MainUnitServer::listen(std::string* error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_options.port);
    const bool parsed = ::inet_pton(AF_INET, m_options.address.c_str(), &address.sin_addr) == 1;
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    socklen_t length = sizeof address;
    const bool ok = parsed && m_listen >= 0 &&
                    ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::listen(m_listen, 8) == 0 &&
                    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (!ok) {
        if (error) {
            *error = "cannot listen on " + m_options.address + ":" +
                     std::to_string(m_options.port) + ": " + std::strerror(errno);
        }
        if (m_listen >= 0) {
            ::close(m_listen);
        }
        m_listen = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    return true;
}

void MainUnitServer::stop() {
    m_stop.raise();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_listen >= 0) {
        ::close(m_listen);
        m_listen = -1;
    }
}

void MainUnitServer::run() {
    while (!m_stop.raised()) {
        std::vector<pollfd> fds = {{m_stop.fd(), POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const auto& session : m_sessions) {
            fds.push_back({session->fd(), POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), kTickMs) > 0 && !m_stop.raised()) {
            serveReadable(fds);
            if (fds[1].revents != 0) {
                acceptOne();
            }
        }
        closeIdle();
        std::erase_if(m_sessions, [](const auto& session) { return !session->isOpen(); });
    }
    m_sessions.clear();
}

// The sessions follow the stop signal and the listening socket in the poll set, in order.
void MainUnitServer::serveReadable(const std::vector<pollfd>& fds) {
    for (std::size_t i = 0; i < m_sessions.size() && i + 2 < fds.size(); ++i) {
        if (fds[i + 2].revents != 0 && m_sessions[i]->isOpen()) {
            m_sessions[i]->onReadable();
        }
    }
}

// While a PC is logged in, any other connection is told so and closed at once.
void MainUnitServer::acceptOne() {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int fd = ::accept4(m_listen, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (fd < 0) {
        return;
    }
    setSendTimeout(fd, m_options.dataTimeoutMs);
    sendRepliesAtOnce(fd);
    const int id = m_nextSessionId++;
    SessionHost& host = *this;  // the base is private, so convert here
    auto session = std::make_unique<FtpSession>(fd, peer, host, id);
    log("session " + std::to_string(id) + ": connected from " + addressText(peer));
    const bool busy = std::any_of(m_sessions.begin(), m_sessions.end(),
                                  [](const auto& s) { return s->isOpen() && s->loggedIn(); });
    if (busy || m_sessions.size() >= kMaxConnections) {
        session->refuse(busy ? "Another PC is logged in." : "Too many connections.");
        return;
    }
    session->greet();
    m_sessions.push_back(std::move(session));
}

void MainUnitServer::closeIdle() {
    const auto now = FtpSession::Clock::now();
    for (const auto& session : m_sessions) {
        if (session->isOpen() &&
            now - session->lastActivity() > std::chrono::milliseconds(m_options.idleTimeoutMs)) {
            session->refuse("Timeout.");
        }
    }
}

void MainUnitServer::setFaults(const MainUnitFaults& faults) {
    const std::lock_guard lock(m_mutex);
    m_faults = faults;
}

MainUnitFaults MainUnitServer::faults() const {
    const std::lock_guard lock(m_mutex);
    return m_faults;
}

void MainUnitServer::dropFired(Drop drop) {
    const std::lock_guard lock(m_mutex);
    if (!m_faults.dropOnce) {
        return;
    }
    switch (drop) {
        case Drop::Control:
            m_faults.dropControlAfterCommands = 0;
            break;
        case Drop::Data:
            m_faults.dropDataAfterBytes = MainUnitFaults::kNoDrop;
            break;
        case Drop::ListingCut:
            m_faults.cutListingAfterBytes = MainUnitFaults::kNoDrop;
            m_faults.cutListingInHalf = false;
            break;
        case Drop::OversizeListing:
            m_faults.oversizeListing = false;
            break;
        case Drop::Stranger:
            m_faults.strangerOnDataPort = false;
            break;
    }
}

bool MainUnitServer::anotherLoggedIn(const FtpSession& session) const {
    return std::any_of(m_sessions.begin(), m_sessions.end(), [&](const auto& other) {
        return other.get() != &session && other->isOpen() && other->loggedIn();
    });
}

void MainUnitServer::setInUse(std::string_view message, bool inUse) {
    m_store->setInUse(message, inUse);
}

bool MainUnitServer::setProtected(std::string_view message, bool isProtected) {
    return m_store->setProtected(message, isProtected);
}

std::vector<std::string> MainUnitServer::commands() const {
    const std::lock_guard lock(m_mutex);
    return m_commands;
}

void MainUnitServer::clearCommands() {
    const std::lock_guard lock(m_mutex);
    m_commands.clear();
}

void MainUnitServer::record(int sessionId, const std::string& line) {
    {
        const std::lock_guard lock(m_mutex);
        m_commands.push_back(line);
    }
    log("session " + std::to_string(sessionId) + ": " +
        (line.starts_with("PASS ") ? std::string("PASS ****") : line));
}

void MainUnitServer::log(const std::string& line) {
    if (m_options.log) {
        m_options.log(line);
    }
}

}  // namespace orven::mainunit
