#include "platform/RotatingDialogueLog.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

RotatingDialogueLog::RotatingDialogueLog(std::filesystem::path path, std::uintmax_t limit)
    : m_path(std::move(path)), m_limit(limit) {
    open(0);
}

RotatingDialogueLog::~RotatingDialogueLog() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::filesystem::path RotatingDialogueLog::backupPath(const std::filesystem::path& path) {
    std::filesystem::path backup = path;
    return backup += ".1";
}

int RotatingDialogueLog::openError() const {
    const std::lock_guard lock(m_mutex);
    return m_openError;
}

void RotatingDialogueLog::open(int extraFlags) {
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | extraFlags, 0600);
    m_openError = m_fd < 0 ? errno : 0;
}

// The size is asked of the file each time: another program writing the same log (the window
// and orven-cli) is then rotated out in time too.
void RotatingDialogueLog::rotateBefore(std::size_t lineSize) {
    struct stat status {};
    if (::fstat(m_fd, &status) != 0 || status.st_size == 0 ||
        static_cast<std::uintmax_t>(status.st_size) + lineSize <= m_limit) {
        return;
    }
    ::close(m_fd);
    // A file that cannot be moved aside is emptied instead: the bound matters more than
    // the older lines.
    const bool moved = std::rename(m_path.c_str(), backupPath(m_path).c_str()) == 0;
    open(moved ? 0 : O_TRUNC);
}

void RotatingDialogueLog::writeLine(std::string_view line) {
    const std::lock_guard lock(m_mutex);
    if (m_fd < 0) {
        open(0);
    }
    if (m_fd >= 0) {
        rotateBefore(line.size());
    }
    if (m_fd < 0) {
        return;
    }
    // One write: concurrent appenders to the file never cut into the line. A short write
    // (a full disk) loses the rest of that line only.
    ssize_t written = -1;
    do {
        written = ::write(m_fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
}

}  // namespace orven
