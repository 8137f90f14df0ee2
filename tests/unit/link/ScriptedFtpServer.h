#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <netinet/in.h>

namespace orven::test {

// A raw FTP server on a loopback port for tests of the FTP client, after curl's test server:
// each case scripts how the commands are answered (a reply, a stall, a drop, data or none),
// and the test checks the command lines that arrived and the client's result. Connections
// are served one after the other on the server's own thread; handlers run on that thread.
// Every wait of the server is bounded, and the destructor stops it and joins the thread.
class ScriptedFtpServer {
  public:
    static constexpr int kWaitMs = 5000;

    // The connection a handler answers.
    class Session {
      public:
        Session(ScriptedFtpServer& server, int control);
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

        void send(std::string_view bytes);
        void reply(std::string_view line) { send(std::string(line) + "\r\n"); }
        // One write per byte, so the client's reads see the reply in pieces.
        void sendByteByByte(std::string_view bytes);
        void closeControl();
        // The next command line, recorded like any other; nothing once the client has gone.
        std::optional<std::string> readCommand();

        // Connects to the address of the last PORT.
        bool connectData();
        // Someone else on the machine (from another loopback address) connects to the
        // address of the last PORT first and sends the bytes; the connection stays open
        // until closeData.
        bool connectStranger(const char* sourceAddress, std::string_view bytes);
        void sendData(std::string_view bytes);
        // Everything until the client closes the data connection; `reset` tells whether it
        // ended with a reset rather than an orderly end.
        std::string receiveData(bool* reset = nullptr);
        void closeData();
        // The usual answer to NLST or RETR: 150, the bytes, the end of the data, 226.
        void transfer(std::string_view bytes);

        void setPortTarget(const sockaddr_in& target) { m_port = target; }

      private:
        ScriptedFtpServer& m_server;
        int m_control;
        int m_data = -1;
        int m_stranger = -1;
        std::optional<sockaddr_in> m_port;
        std::string m_buffer;
    };
    using Handler = std::function<void(Session&, const std::string& argument)>;

    ScriptedFtpServer();
    ~ScriptedFtpServer();
    ScriptedFtpServer(const ScriptedFtpServer&) = delete;
    ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

    std::uint16_t port() const { return m_portNumber; }

    // Set before the client connects. The greeting defaults to "220 Zu-KA scripted unit".
    void onGreeting(Handler handler);
    // How every command with this verb is answered from now on.
    void on(const std::string& verb, Handler handler);
    // The data that a transfer command line ("NLST -l *.vmdat", "RETR a.vmdat") sends; such
    // a command without data is answered 550.
    void setData(const std::string& commandLine, std::string bytes);

    std::vector<std::string> commands() const;
    std::map<std::string, std::string> uploads() const;
    int connections() const { return m_connections; }

  private:
    void run();
    void serve(int control);
    void dispatch(Session& session, const std::string& line);
    void answerByDefault(Session& session, const std::string& verb, const std::string& argument);
    void record(const std::string& line);
    bool stopping() const { return m_stop; }

    int m_listen = -1;
    std::uint16_t m_portNumber = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    std::map<std::string, Handler> m_handlers;  // "" is the greeting
    std::map<std::string, std::string> m_data;
    std::map<std::string, std::string> m_uploads;
    std::vector<std::string> m_commands;
    std::thread m_thread;
};

}  // namespace orven::test
