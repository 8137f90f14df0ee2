#pragma once

#include <atomic>
#include <functional>

#include "link/CFtpMng.h"
#include "link/FtpEnvironment.h"
#include "link/JobEnvironment.h"
#include "platform/LocalFileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Services.h"
#include "platform/SystemClock.h"
#include "store/StoreContext.h"

namespace orven {

// The one environment of a session, made once by its owner (the session controller, orven-cli,
// a test) and handed down: the services, the cancel and stop flags and the one FTP client.
// Store operations, jobs and the link all get their contexts from here, so they share the
// same flags, clock, file system, event pump and dialogue log.
class Environment {
  public:
    // given: what the owner has; it must outlive the environment. Its clock, file system,
    // cancel flag and stop request are the environment's own when null (the system clock,
    // the machine's file system, flags at 0); its ui, dialogue log and hooks stay null when
    // null.
    explicit Environment(FtpEnvironment given = {});
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    const Services& services() const { return m_given; }
    // For the store's operations; folderAccessCheck runs before each touches the store.
    StoreContext store(std::function<bool()> folderAccessCheck = {}) const;
    // For a job that logs in again with login and reads its per-box switches from settings
    // (null: none), on this environment's FTP client.
    JobEnvironment job(LoginCredentials login, const ProfileFile* settings = nullptr,
                       std::function<bool()> folderAccessCheck = {});

    CFtpMng& ftp() { return m_ftp; }
    std::atomic<int>& cancelFlag() { return *m_given.cancelFlag; }
    std::atomic<int>& stopRequest() { return *m_given.stopRequest; }

  private:
    FtpEnvironment completed(FtpEnvironment given);

    std::atomic<int> m_cancel{0};
    std::atomic<int> m_stop{0};
    SystemClock m_clock;
    LocalFileSystem m_fileSystem;
    const FtpEnvironment m_given;  // with the gaps filled
    CFtpMng m_ftp;
};

}  // namespace orven
