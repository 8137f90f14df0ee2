#include "support/FtpTestClient.h"

#include <cerrno>
#include <cstdlib>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orven::test {
namespace {

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, FtpTestClient::kWaitMs) > 0;
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

FtpTestClient::FtpTestClient(std::uint16_t port) {
    m_control = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    if (::connect(m_control, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closeFd(m_control);
    }
}

FtpTestClient::~FtpTestClient() {
    close();
}

void FtpTestClient::close() {
    closeData();
    closeFd(m_control);
}

bool FtpTestClient::fill() {
    char buffer[4096];
    if (m_control < 0 || !readable(m_control)) {
        return false;
    }
    const ssize_t n = ::recv(m_control, buffer, sizeof buffer, 0);
    if (n <= 0) {
        return false;
    }
    m_buffer.append(buffer, static_cast<std::size_t>(n));
    return true;
}

// Continuation lines of a multi-line reply are skipped; the last line is returned.
FtpTestClient::Reply FtpTestClient::readReply() {
    for (;;) {
        const auto end = m_buffer.find("\r\n");
        if (end == std::string::npos) {
            if (!fill()) {
                return {};
            }
            continue;
        }
        const std::string line = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 2);
        if (line.size() >= 4 && line[3] == ' ') {
            return {std::atoi(line.substr(0, 3).c_str()), line};
        }
    }
}

void FtpTestClient::sendRaw(std::string_view bytes) {
    if (m_control >= 0) {
        ::send(m_control, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
}

FtpTestClient::Reply FtpTestClient::command(std::string_view line) {
    sendRaw(std::string(line) + "\r\n");
    return readReply();
}

bool FtpTestClient::logIn(std::string_view user, std::string_view password) {
    command("USER " + std::string(user));
    return command("PASS " + std::string(password)).code == 230;
}

bool FtpTestClient::closedByServer() {
    char byte;
    return m_buffer.empty() && m_control >= 0 && readable(m_control) &&
           ::recv(m_control, &byte, 1, 0) == 0;
}

FtpTestClient::Reply FtpTestClient::openDataPort() {
    closeData();
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 1);
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
    return command("PORT 127,0,0,1," + std::to_string(port / 256) + "," +
                   std::to_string(port % 256));
}

bool FtpTestClient::acceptData() {
    if (m_listener < 0 || !readable(m_listener)) {
        return false;
    }
    m_data = ::accept(m_listener, nullptr, nullptr);
    return m_data >= 0;
}

bool FtpTestClient::sendData(std::string_view bytes) {
    std::size_t sent = 0;
    while (m_data >= 0 && sent < bytes.size()) {
        const ssize_t n = ::send(m_data, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return sent == bytes.size();
}

std::string FtpTestClient::readDataToEnd() {
    std::string data;
    char buffer[16384];
    while (m_data >= 0 && readable(m_data)) {
        const ssize_t n = ::recv(m_data, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

void FtpTestClient::closeData() {
    closeFd(m_data);
    closeFd(m_listener);
}

FtpTestClient::Transfer FtpTestClient::retrieve(std::string_view command) {
    Transfer transfer;
    transfer.first = openDataPort();
    if (transfer.first.code != 200) {
        return transfer;
    }
    transfer.first = this->command(command);
    if (transfer.first.code == 150 && acceptData()) {
        transfer.data = readDataToEnd();
        closeData();
        transfer.last = readReply();
    }
    closeData();
    return transfer;
}

FtpTestClient::Transfer FtpTestClient::store(std::string_view command, std::string_view data) {
    Transfer transfer;
    transfer.first = openDataPort();
    if (transfer.first.code != 200) {
        return transfer;
    }
    transfer.first = this->command(command);
    if (transfer.first.code == 150 && acceptData()) {
        sendData(data);
        closeData();
        transfer.last = readReply();
    }
    closeData();
    return transfer;
}

}  // namespace orven::test
