#include "platform/LocalFileSystem.h"

#include <algorithm>
#include <array>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace orven {

namespace {

// Magic numbers from linux/magic.h and the file systems' own headers. FUSE is counted as
// network because sshfs and its kind are what users mount through it.
constexpr std::array<std::uint32_t, 11> kNetworkTypes = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFE534D42,  // SMB2
    0xFF534D42,  // CIFS
    0x01021997,  // 9P
    0x65735546,  // FUSE
    0x5346414F,  // AFS
    0x6B414653,  // kAFS
    0x73757245,  // Coda
    0x564C,      // NCP
    0x00C36400,  // Ceph
};

}  // namespace

const LocalFileSystem& LocalFileSystem::machine() {
    static const LocalFileSystem local;
    return local;
}

fs::path LocalFileSystem::nearestExisting(const fs::path& path) {
    if (path.empty()) {
        return {};
    }
    std::error_code ec;
    fs::path p = fs::absolute(path, ec).lexically_normal();
    if (ec) {
        return {};
    }
    while (!fs::exists(p, ec)) {
        fs::path parent = p.parent_path();
        if (parent == p || parent.empty()) {
            return {};
        }
        p = std::move(parent);
    }
    return p;
}

bool LocalFileSystem::isNetworkType(std::uint32_t fsType) {
    return std::find(kNetworkTypes.begin(), kNetworkTypes.end(), fsType) != kNetworkTypes.end();
}

std::optional<std::uint64_t> LocalFileSystem::freeSpace(const fs::path& folder) const {
    const fs::path existing = nearestExisting(folder);
    struct statvfs st {};
    if (existing.empty() || ::statvfs(existing.c_str(), &st) != 0) {
        return std::nullopt;
    }
    const std::uint64_t unit = st.f_frsize != 0 ? st.f_frsize : st.f_bsize;
    return static_cast<std::uint64_t>(st.f_bavail) * unit;
}

bool LocalFileSystem::isNetworkPath(const fs::path& folder) const {
    const fs::path existing = nearestExisting(folder);
    struct statfs st {};
    if (existing.empty() || ::statfs(existing.c_str(), &st) != 0) {
        return false;
    }
    // f_type is a signed word; the CIFS and SMB2 magics only compare right as 32 bits.
    return isNetworkType(static_cast<std::uint32_t>(st.f_type));
}

bool LocalFileSystem::isReachable(const fs::path& folder) const {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    return !ec;
}

bool LocalFileSystem::reconnect(const fs::path& folder) {
    // Touching the path is what makes autofs mount it; the answers themselves do not matter.
    struct stat st {};
    (void)::stat(folder.c_str(), &st);
    if (DIR* dir = ::opendir(folder.c_str())) {
        (void)::readdir(dir);
        ::closedir(dir);
    }
    return isReachable(folder);
}

bool LocalFileSystem::flushToDisk(const fs::path& path) const {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool flushed = ::syncfs(fd) == 0;
    return ::close(fd) == 0 && flushed;
}

}  // namespace orven
