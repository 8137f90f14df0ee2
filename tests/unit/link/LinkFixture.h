#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "ScriptedFtpServer.h"
#include "link/CFtpMng.h"
#include "link/Environment.h"
#include "platform/Timing.h"
#include "platform/Ui.h"
#include "support/FileBytes.h"
#include "support/QuickTiming.h"
#include "support/TempDir.h"

namespace orven::test {

class RecordingHooks : public FtpHooks {
  public:
    void operationStarted() override { ++started; }
    void operationFinished() override { ++finished; }
    void loggedOut() override { ++loggedOutCount; }

    int started = 0;
    int finished = 0;
    int loggedOutCount = 0;
};

// Sets the cancel flag from pump() once the condition holds, as a Cancel button would;
// every message box is unexpected.
class CancellingUi : public Ui {
  public:
    CancellingUi(std::atomic<int>& flag, std::function<bool()> when)
        : m_flag(flag), m_when(std::move(when)) {}
    void pump() override {
        if (m_when()) {
            m_flag = 1;
        }
    }
    int messageBox(const std::string&, const std::string&, Buttons, Icon) override {
        ADD_FAILURE() << "the link showed a message box";
        return IdCancel;
    }
    int customBox(const CustomBox&) override { return messageBox({}, {}, {}, {}); }
    std::unique_ptr<Progress> openProgress(const std::string&, const std::string&,
                                           std::atomic<int>*) override {
        return nullptr;
    }

  private:
    std::atomic<int>& m_flag;
    std::function<bool()> m_when;
};

// Open descriptors of this process: a socket or file the client forgot shows up here.
inline int openDescriptors() {
    std::error_code ec;
    int count = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end;
         it.increment(ec)) {
        ++count;
    }
    return count;
}

// The time-out of the cases that wait for silence.
inline constexpr int kShortWaitMs = 200;

// What a case gives the link or an Environment: its user interface (may be null), time-outs
// and cancel flag, and the folder the link writes to by default.
inline FtpEnvironment givenServices(Ui* ui, const Timing& timing, std::atomic<int>& cancel,
                                    const std::filesystem::path& folder) {
    FtpEnvironment given;
    given.ui = ui;
    given.timing = timing;
    given.cancelFlag = &cancel;
    given.defaultLocalDirectory = folder;
    return given;
}

// The client against a scripted server; the environment is made on first use, so a case can
// change the timing first, and is gone before the server.
class ScriptedLinkTest : public ::testing::Test {
  protected:
    CFtpMng& client() {
        if (!m_environment) {
            FtpEnvironment given = givenServices(ui, timing, cancel, dir.path());
            given.hooks = &hooks;
            m_environment = std::make_unique<Environment>(given);
        }
        return m_environment->ftp();
    }

    LoginResult logIn() { return client().Login("127.0.0.1", "maint", "secret", server.port()); }

    // Logged in, with the log-in's commands already checked and forgotten.
    void logInAndForget() {
        ASSERT_EQ(logIn(), LoginResult::LoggedIn);
        m_skip = server.commands().size();
    }

    std::vector<std::string> commandsSinceLogIn() const {
        const auto all = server.commands();
        return {all.begin() + static_cast<std::ptrdiff_t>(m_skip), all.end()};
    }

    TempDir dir;
    ScriptedFtpServer server;
    Timing timing = quickTiming();
    std::atomic<int> cancel{0};
    RecordingHooks hooks;
    Ui* ui = nullptr;

  private:
    std::unique_ptr<Environment> m_environment;
    std::size_t m_skip = 0;
};

}  // namespace orven::test
