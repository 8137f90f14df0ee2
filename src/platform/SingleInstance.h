#pragma once

#include <filesystem>

#include "platform/UserFolders.h"

namespace orven {

// Keeps a second copy of the program from running for the same user: an exclusive flock on
// the lock file "ORVEN-Zu". The kernel drops the lock when the process ends, however it ends,
// so a crash never leaves a stale lock behind. The file itself stays.
class SingleInstance {
  public:
    static constexpr char kLockName[] = "ORVEN-Zu";

    // The lock file in $XDG_RUNTIME_DIR when usable, else in the config folder.
    explicit SingleInstance(const UserFolders& folders);
    explicit SingleInstance(std::filesystem::path lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this object now holds the lock (or already did); false when another holder
    // has it. A lock file that cannot be made at all also answers true, with error() set: a
    // broken lock must not keep the user out of the program.
    bool tryAcquire();

    const std::filesystem::path& lockPath() const { return m_lockPath; }
    // The errno of the last failure to open or lock the file, 0 when there was none.
    int error() const { return m_error; }

    static std::filesystem::path lockPathFor(const UserFolders& folders);

  private:
    std::filesystem::path m_lockPath;
    int m_fd = -1;
    int m_error = 0;
};

}  // namespace orven
