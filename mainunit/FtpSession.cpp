#include "mainunit/FtpSession.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <utility>

#include <arpa/inet.h>

#include "link/MainUnitAccounts.h"
#include "mainunit/ServedTree.h"
#include "mainunit/SessionHost.h"
#include "mainunit/StopSignal.h"
#include "platform/CodePage.h"

namespace orven::mainunit {
namespace {

std::optional<sockaddr_in> parsePort(const std::string& text) {
    std::array<int, 6> n{};
    char end = 0;
    const int count = std::sscanf(text.c_str(), "%d,%d,%d,%d,%d,%d%c", &n[0], &n[1], &n[2], &n[3],
                                  &n[4], &n[5], &end);
    if (count != 6) {
        return std::nullopt;
    }
    for (const int v : n) {
        if (v < 0 || v > 255) {
            return std::nullopt;
        }
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr =
        htonl(static_cast<std::uint32_t>((n[0] << 24) | (n[1] << 16) | (n[2] << 8) | n[3]));
    address.sin_port = htons(static_cast<std::uint16_t>(n[4] * 256 + n[5]));
    return address;
}

}  // namespace

FtpSession::FtpSession(int fd, const sockaddr_in& peer, SessionHost& host, int id)
    : m_control(fd, peer), m_host(host), m_id(id), m_store(*this) {}

void FtpSession::greet() {
    reply(220, "Zu-KA " + m_host.options().model);
}

void FtpSession::refuse(std::string_view reason) {
    reply(421, reason);
    m_control.close();
}

bool FtpSession::reply(int code, std::string_view text) {
    const MainUnitFaults faults = m_host.faults();
    if (faults.stallMs > 0 && (faults.stallCommand.empty() || faults.stallCommand == m_verb)) {
        m_host.stopSignal().sleepFor(faults.stallMs);
    }
    return m_control.reply(code, text);
}

std::optional<sockaddr_in> FtpSession::takePortTarget() {
    return std::exchange(m_portTarget, std::nullopt);
}

void FtpSession::onReadable() {
    m_lastActivity = Clock::now();
    m_control.receive();
    while (m_control.isOpen()) {
        auto command = m_control.next();
        if (!command) {
            break;
        }
        handle(std::move(*command));
        countCommand();
    }
    m_lastActivity = Clock::now();
}

void FtpSession::countCommand() {
    ++m_commandCount;
    const int limit = m_host.faults().dropControlAfterCommands;
    if (limit > 0 && m_commandCount >= limit && m_control.isOpen()) {
        m_host.log("session " + std::to_string(m_id) + ": control connection dropped");
        m_host.dropFired(SessionHost::Drop::Control);
        m_control.close();
    }
}

void FtpSession::handle(ControlConnection::Command command) {
    m_verb = command.verb;
    if (command.tooLong) {
        m_host.record(m_id, "(line too long)");
        reply(500, "Command line too long.");
        return;
    }
    m_host.record(m_id, command.verb + (command.argument.empty() ? "" : " " + command.argument));
    const auto target = route(command.verb);
    if (command.badBytes) {
        reply(501, "Bad characters in command.");
    } else if (!target) {
        reply(502, "Command not implemented.");
    } else if (target->needsLogIn && !m_loggedIn) {
        reply(530, "Please login with USER and PASS.");
    } else {
        (this->*target->handler)(CodePage::cp932ToUtf8(command.argument));
    }
}

std::optional<FtpSession::Route> FtpSession::route(std::string_view verb) {
    static const std::pair<std::string_view, Route> routes[] = {
        {"USER", {&FtpSession::onUser, false}}, {"PASS", {&FtpSession::onPass, false}},
        {"QUIT", {&FtpSession::onQuit, false}}, {"NOOP", {&FtpSession::onNoop, false}},
        {"CWD", {&FtpSession::onCwd, true}},    {"XCWD", {&FtpSession::onCwd, true}},
        {"CDUP", {&FtpSession::onCdup, true}},  {"XCUP", {&FtpSession::onCdup, true}},
        {"PWD", {&FtpSession::onPwd, true}},    {"XPWD", {&FtpSession::onPwd, true}},
        {"TYPE", {&FtpSession::onType, true}},  {"SYST", {&FtpSession::onSyst, false}},
        {"PORT", {&FtpSession::onPort, true}},  {"ABOR", {&FtpSession::onAbor, true}},
        {"NLST", {&FtpSession::onNlst, true}},  {"LIST", {&FtpSession::onList, true}},
        {"RETR", {&FtpSession::onRetr, true}},  {"STOR", {&FtpSession::onStor, true}},
        {"DELE", {&FtpSession::onDele, true}},  {"SIZE", {&FtpSession::onSize, true}},
    };
    for (const auto& [name, route] : routes) {
        if (name == verb) {
            return route;
        }
    }
    return std::nullopt;
}

void FtpSession::onUser(const std::string& name) {
    if (m_loggedIn) {
        reply(530, "Can't change to another user.");
        return;
    }
    m_user = name;
    reply(331, "Please specify the password.");
}

void FtpSession::onPass(const std::string& password) {
    if (m_loggedIn) {
        reply(230, "Already logged in.");
    } else if (m_user.empty()) {
        reply(503, "Login with USER first.");
    } else if (m_host.faults().refuseLogIn || !isMainUnitAccount(m_user) ||
               password != m_host.options().password) {
        m_user.clear();
        reply(530, "Login incorrect.");
    } else if (m_host.anotherLoggedIn(*this)) {
        refuse("Another PC is logged in.");
    } else {
        m_loggedIn = true;
        reply(230, "Login successful.");
    }
}

void FtpSession::onQuit(const std::string&) {
    reply(221, "Goodbye.");
    m_control.close();
}

// ".." stops at the root, so five "CWD ../" reach it from any box.
void FtpSession::onCwd(const std::string& path) {
    const auto resolved = ServedTree::resolve(m_cwd, path, true);
    const auto real = resolved ? m_host.tree().real(*resolved) : std::nullopt;
    std::error_code ec;
    if (!real || !std::filesystem::is_directory(*real, ec)) {
        reply(550, "Failed to change directory.");
        return;
    }
    m_cwd = *resolved;
    reply(250, "Directory successfully changed.");
}

void FtpSession::onCdup(const std::string&) {
    onCwd("..");
}

void FtpSession::onPwd(const std::string&) {
    reply(257, "\"" + CodePage::utf8ToCp932(m_cwd) + "\" is the current directory");
}

void FtpSession::onType(const std::string& type) {
    reply(200, type == "A" ? "Switching to ASCII mode." : "Switching to Binary mode.");
}

void FtpSession::onNoop(const std::string&) {
    reply(200, "NOOP ok.");
}

void FtpSession::onSyst(const std::string&) {
    reply(215, "UNIX Type: L8");
}

// Data connections only go back to the PC on the other end of the control connection, so
// the main unit cannot be used to reach a third machine.
void FtpSession::onPort(const std::string& address) {
    const auto target = parsePort(address);
    if (!target || target->sin_port == 0 ||
        target->sin_addr.s_addr != m_control.peer().sin_addr.s_addr) {
        reply(500, "Illegal PORT command.");
        return;
    }
    m_portTarget = target;
    reply(200, "PORT command successful.");
}

void FtpSession::onAbor(const std::string&) {
    reply(225, "No transfer to ABOR.");
}

void FtpSession::onNlst(const std::string& argument) {
    m_store.list(argument, false);
}

void FtpSession::onList(const std::string& argument) {
    m_store.list(argument, true);
}

void FtpSession::onRetr(const std::string& path) {
    m_store.retrieve(path);
}

void FtpSession::onStor(const std::string& path) {
    m_store.store(path);
}

void FtpSession::onDele(const std::string& path) {
    m_store.remove(path);
}

void FtpSession::onSize(const std::string& path) {
    m_store.size(path);
}

}  // namespace orven::mainunit
