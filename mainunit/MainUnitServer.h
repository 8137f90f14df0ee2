#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <poll.h>

#include "mainunit/MainUnitFaults.h"
#include "mainunit/MainUnitOptions.h"
#include "mainunit/SessionHost.h"
#include "mainunit/StopSignal.h"

namespace orven::mainunit {

class FtpSession;
class MessageStore;
class ServedTree;

// The main unit stand-in: an FTP server on one thread that serves a folder the way the
// telephone system's main unit serves its boxes. Only one PC is logged in at a time. Start it,
// ask port(), and let the destructor stop it. The fault and mark functions may be called from
// any thread while it runs.
class MainUnitServer : private SessionHost {
  public:
    explicit MainUnitServer(MainUnitOptions options);
    ~MainUnitServer() override;
    MainUnitServer(const MainUnitServer&) = delete;
    MainUnitServer& operator=(const MainUnitServer&) = delete;

    // Binds, listens and starts serving (once per server); false, with the reason when asked,
    // when any of that fails. The kind folders are made by the constructor.
    bool start(std::string* error = nullptr);
    // Closes every session and joins the thread; running transfers end at once.
    void stop();
    std::uint16_t port() const { return m_port; }
    const std::filesystem::path& root() const { return m_options.root; }

    void setFaults(const MainUnitFaults& faults);
    MainUnitFaults faults() const override;

    // Messages are named by the virtual path of either file or of the stem, such as
    // "/rusuroku/0101/202401050930_FRI_0101_00001.vminf". In use: DELE answers 450, and an
    // upload of its response message number 450. Protected: the flag in both header blocks,
    // so DELE answers 550; false when the message does not exist.
    void setInUse(std::string_view message, bool inUse);
    bool setProtected(std::string_view message, bool isProtected);

    // Every command line received, in order, as sent (PASS too), for tests that check what a
    // client said; over-long lines show as "(line too long)".
    std::vector<std::string> commands() const;
    void clearCommands();

  private:
    void run();
    bool listen(std::string* error);
    void acceptOne();
    void closeIdle();
    void serveReadable(const std::vector<pollfd>& fds);

    // SessionHost
    const MainUnitOptions& options() const override { return m_options; }
    void dropFired(Drop drop) override;
    bool anotherLoggedIn(const FtpSession& session) const override;
    const ServedTree& tree() const override { return *m_tree; }
    MessageStore& store() override { return *m_store; }
    const StopSignal& stopSignal() const override { return m_stop; }
    void record(int sessionId, const std::string& line) override;
    void log(const std::string& line) override;

    MainUnitOptions m_options;
    std::unique_ptr<ServedTree> m_tree;
    std::unique_ptr<MessageStore> m_store;
    StopSignal m_stop;
    int m_listen = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
    std::vector<std::unique_ptr<FtpSession>> m_sessions;  // server thread only
    int m_nextSessionId = 1;
    mutable std::mutex m_mutex;  // faults and the command record
    MainUnitFaults m_faults;
    std::vector<std::string> m_commands;
};

}  // namespace orven::mainunit
