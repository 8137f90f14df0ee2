#include "ScriptedFtpServer.h"

#include <array>
#include <chrono>
#include <cstdio>

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orven::test {
namespace {

constexpr int kSliceMs = 50;

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool readable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return fd >= 0 && ::poll(&entry, 1, timeoutMs) > 0;
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        fd = -1;
    }
}

void sendAll(int fd, std::string_view bytes) {
    while (fd >= 0 && !bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

std::optional<sockaddr_in> parsePort(const std::string& text) {
    std::array<unsigned, 6> n{};
    if (std::sscanf(text.c_str(), "%u,%u,%u,%u,%u,%u", &n[0], &n[1], &n[2], &n[3], &n[4], &n[5]) !=
        6) {
        return std::nullopt;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl((n[0] << 24) | (n[1] << 16) | (n[2] << 8) | n[3]);
    address.sin_port = htons(static_cast<std::uint16_t>(n[4] * 256 + n[5]));
    return address;
}

}  // namespace

ScriptedFtpServer::Session::Session(ScriptedFtpServer& server, int control)
    : m_server(server), m_control(control) {
    const int on = 1;
    ::setsockopt(m_control, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

ScriptedFtpServer::Session::~Session() {
    closeData();
    closeControl();
}

void ScriptedFtpServer::Session::send(std::string_view bytes) {
    sendAll(m_control, bytes);
}

void ScriptedFtpServer::Session::sendByteByByte(std::string_view bytes) {
    for (const char byte : bytes) {
        sendAll(m_control, std::string_view(&byte, 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ScriptedFtpServer::Session::closeControl() {
    closeFd(m_control);
}

std::optional<std::string> ScriptedFtpServer::Session::readCommand() {
    for (;;) {
        const std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            m_server.record(line);
            return line;
        }
        if (m_control < 0 || m_server.stopping()) {
            return std::nullopt;
        }
        if (!readable(m_control, kSliceMs)) {
            continue;
        }
        char bytes[4096];
        const ssize_t got = ::recv(m_control, bytes, sizeof bytes, 0);
        if (got <= 0) {
            return std::nullopt;
        }
        m_buffer.append(bytes, static_cast<std::size_t>(got));
    }
}

bool ScriptedFtpServer::Session::connectData() {
    closeData();
    if (!m_port) {
        return false;
    }
    m_data = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(m_data, reinterpret_cast<const sockaddr*>(&*m_port), sizeof *m_port) != 0) {
        closeFd(m_data);
        return false;
    }
    return true;
}

bool ScriptedFtpServer::Session::connectStranger(const char* sourceAddress,
                                                 std::string_view bytes) {
    if (!m_port) {
        return false;
    }
    m_stranger = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    ::inet_pton(AF_INET, sourceAddress, &source.sin_addr);
    if (::bind(m_stranger, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0 ||
        ::connect(m_stranger, reinterpret_cast<const sockaddr*>(&*m_port), sizeof *m_port) != 0) {
        closeFd(m_stranger);
        return false;
    }
    sendAll(m_stranger, bytes);
    return true;
}

void ScriptedFtpServer::Session::sendData(std::string_view bytes) {
    sendAll(m_data, bytes);
}

std::string ScriptedFtpServer::Session::receiveData(bool* reset) {
    std::string bytes;
    if (reset) {
        *reset = false;
    }
    char chunk[65536];
    for (int waited = 0; m_data >= 0 && waited < kWaitMs && !m_server.stopping();) {
        if (!readable(m_data, kSliceMs)) {
            waited += kSliceMs;
            continue;
        }
        const ssize_t got = ::recv(m_data, chunk, sizeof chunk, 0);
        if (got <= 0) {
            if (reset) {
                *reset = got < 0;
            }
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
        waited = 0;
    }
    return bytes;
}

void ScriptedFtpServer::Session::closeData() {
    closeFd(m_data);
    closeFd(m_stranger);
}

void ScriptedFtpServer::Session::transfer(std::string_view bytes) {
    if (!connectData()) {
        reply("425 Can't open data connection.");
        return;
    }
    reply("150 Here comes the data.");
    sendData(bytes);
    closeData();
    reply("226 Transfer complete.");
}

ScriptedFtpServer::ScriptedFtpServer() {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (::bind(m_listen, raw, sizeof address) == 0 && ::listen(m_listen, 4) == 0 &&
        ::getsockname(m_listen, raw, &size) == 0) {
        m_portNumber = ntohs(address.sin_port);
    }
    onGreeting([](Session& s, const std::string&) { s.reply("220 Zu-KA scripted unit"); });
    m_thread = std::thread([this] { run(); });
}

ScriptedFtpServer::~ScriptedFtpServer() {
    m_stop = true;
    m_thread.join();
    closeFd(m_listen);
}

void ScriptedFtpServer::onGreeting(Handler handler) {
    on("", std::move(handler));
}

void ScriptedFtpServer::on(const std::string& verb, Handler handler) {
    const std::lock_guard lock(m_mutex);
    m_handlers[verb] = std::move(handler);
}

void ScriptedFtpServer::setData(const std::string& commandLine, std::string bytes) {
    const std::lock_guard lock(m_mutex);
    m_data[commandLine] = std::move(bytes);
}

std::vector<std::string> ScriptedFtpServer::commands() const {
    const std::lock_guard lock(m_mutex);
    return m_commands;
}

std::map<std::string, std::string> ScriptedFtpServer::uploads() const {
    const std::lock_guard lock(m_mutex);
    return m_uploads;
}

void ScriptedFtpServer::record(const std::string& line) {
    const std::lock_guard lock(m_mutex);
    m_commands.push_back(line);
}

void ScriptedFtpServer::run() {
    while (!m_stop) {
        if (!readable(m_listen, kSliceMs)) {
            continue;
        }
        const int control = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (control >= 0) {
            ++m_connections;
            serve(control);
        }
    }
}

void ScriptedFtpServer::serve(int control) {
    Session session(*this, control);
    dispatch(session, "");
    while (auto line = session.readCommand()) {
        dispatch(session, *line);
    }
}

void ScriptedFtpServer::dispatch(Session& session, const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
    Handler handler;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_handlers.find(verb);
        if (found != m_handlers.end()) {
            handler = found->second;
        }
    }
    if (handler) {
        handler(session, argument);
    } else {
        answerByDefault(session, verb, argument);
    }
}

// A healthy server: what every case gets unless it scripts the command otherwise.
void ScriptedFtpServer::answerByDefault(Session& s, const std::string& verb,
                                        const std::string& argument) {
    static const std::map<std::string, std::string> plain = {
        {"USER", "331 Password please."},     {"PASS", "230 Logged in."},
        {"CWD", "250 Directory changed."},    {"DELE", "250 Deleted."},
        {"ABOR", "225 No transfer to ABOR."}, {"QUIT", "221 Goodbye."},
    };
    if (const auto found = plain.find(verb); found != plain.end()) {
        s.reply(found->second);
        if (verb == "QUIT") {
            s.closeControl();
        }
    } else if (verb == "PORT") {
        const auto target = parsePort(argument);
        if (target) {
            s.setPortTarget(*target);
        }
        s.reply(target ? "200 PORT command successful." : "500 Illegal PORT command.");
    } else if (verb == "NLST" || verb == "RETR") {
        std::optional<std::string> bytes;
        {
            const std::lock_guard lock(m_mutex);
            const auto found = m_data.find(argument.empty() ? verb : verb + " " + argument);
            if (found != m_data.end()) {
                bytes = found->second;
            }
        }
        bytes ? s.transfer(*bytes) : s.reply("550 No such file.");
    } else if (verb == "STOR") {
        s.connectData();
        s.reply("150 Ok to send data.");
        const std::string bytes = s.receiveData();
        s.closeData();
        {
            const std::lock_guard lock(m_mutex);
            m_uploads[argument] = bytes;
        }
        s.reply("226 Transfer complete.");
    } else {
        s.reply("502 Command not implemented.");
    }
}

}  // namespace orven::test
