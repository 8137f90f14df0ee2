#include "platform/SingleInstance.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orven {

SingleInstance::SingleInstance(const UserFolders& folders) : SingleInstance(lockPathFor(folders)) {}

SingleInstance::SingleInstance(std::filesystem::path lockPath) : m_lockPath(std::move(lockPath)) {}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0) {
        close(m_fd);  // closing the only descriptor of the open file releases the lock
    }
}

std::filesystem::path SingleInstance::lockPathFor(const UserFolders& folders) {
    return folders.runtimeFolder().value_or(folders.configFolder()) / kLockName;
}

bool SingleInstance::tryAcquire() {
    if (m_fd >= 0) {
        return true;
    }
    UserFolders::makePrivateFolder(m_lockPath.parent_path());
    // Each open makes a new open file description, so even a second object in this process
    // conflicts with the first; CLOEXEC keeps a started viewer from inheriting the lock.
    const int fd = open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = errno;
        return true;
    }
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        m_error = errno;
        close(fd);
        return m_error != EWOULDBLOCK;
    }
    m_fd = fd;
    m_error = 0;
    return true;
}

}  // namespace orven
