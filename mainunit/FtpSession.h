#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include <netinet/in.h>

#include "mainunit/ControlConnection.h"
#include "mainunit/StoreCommands.h"

namespace orven::mainunit {

class SessionHost;

// One client from its greeting to its QUIT: log-in, the current directory, the PORT address,
// and the dispatch of every command. The commands that touch the store are StoreCommands'.
class FtpSession {
  public:
    using Clock = std::chrono::steady_clock;

    FtpSession(int fd, const sockaddr_in& peer, SessionHost& host, int id);

    int fd() const { return m_control.fd(); }
    bool isOpen() const { return m_control.isOpen(); }
    bool loggedIn() const { return m_loggedIn; }
    Clock::time_point lastActivity() const { return m_lastActivity; }

    void greet();
    // "421" and closed: another PC is logged in, or the session has been idle too long.
    void refuse(std::string_view reason);
    // Takes in what arrived and answers every complete command.
    void onReadable();

    // For StoreCommands.
    bool reply(int code, std::string_view text);
    const std::string& cwd() const { return m_cwd; }
    std::optional<sockaddr_in> takePortTarget();
    ControlConnection& control() { return m_control; }
    SessionHost& host() { return m_host; }

  private:
    using Handler = void (FtpSession::*)(const std::string&);
    struct Route {
        Handler handler;
        bool needsLogIn;
    };

    static std::optional<Route> route(std::string_view verb);
    void handle(ControlConnection::Command command);
    void countCommand();

    void onUser(const std::string& name);
    void onPass(const std::string& password);
    void onQuit(const std::string&);
    void onCwd(const std::string& path);
    void onCdup(const std::string&);
    void onPwd(const std::string&);
    void onType(const std::string& type);
    void onNoop(const std::string&);
    void onSyst(const std::string&);
    void onPort(const std::string& address);
    void onAbor(const std::string&);
    void onNlst(const std::string& argument);
    void onList(const std::string& argument);
    void onRetr(const std::string& path);
    void onStor(const std::string& path);
    void onDele(const std::string& path);
    void onSize(const std::string& path);

    ControlConnection m_control;
    SessionHost& m_host;
    int m_id;
    StoreCommands m_store;
    std::string m_verb;  // of the command being answered, for the stall fault
    std::string m_user;
    bool m_loggedIn = false;
    std::string m_cwd = "/";
    std::optional<sockaddr_in> m_portTarget;
    int m_commandCount = 0;
    Clock::time_point m_lastActivity = Clock::now();
};

}  // namespace orven::mainunit
