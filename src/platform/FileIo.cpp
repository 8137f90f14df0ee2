#include "platform/FileIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <exception>
#include <optional>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LocalFileSystem.h"

namespace fs = std::filesystem;

namespace orven {

namespace {

constexpr std::uint64_t kReadChunk = 64 * 1024;
// The temporary file of an existing target is private until it gets the target's mode.
constexpr mode_t kPrivateMode = 0600;
constexpr mode_t kPermissionBits = 07777;

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    bool close() { return m_fd < 0 || ::close(std::exchange(m_fd, -1)) == 0; }

  private:
    int m_fd;
};

// Reads until the end or until `stopAt` bytes are in. The buffer starts at the size the file
// had, plus one byte so that the end shows in the first read.
bool readUpTo(int fd, std::uint64_t sizeHint, std::uint64_t stopAt, std::string& bytes) {
    bytes.resize(std::min(stopAt, sizeHint + 1));
    std::uint64_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got == stopAt) {
                break;
            }
            bytes.resize(std::min(stopAt, got + std::max(got, kReadChunk)));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            break;
        }
        if (n < 0 && errno != EINTR) {
            return false;
        }
        got += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    }
    bytes.resize(got);
    return true;
}

// With `cut`, the first `limit` bytes; without, the whole file unless it is longer.
ReadResult readRegular(const fs::path& file, std::uint64_t limit, bool cut) {
    ReadResult result;
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        result.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return result;
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (!cut && size > limit) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    // One byte past the limit tells a file that grew since fstat from one that fits.
    const std::uint64_t stopAt = cut || limit == FileIo::kNoLimit ? limit : limit + 1;
    try {
        if (!readUpTo(fd.get(), size, stopAt, result.bytes)) {
            result.bytes.clear();
            return result;
        }
    } catch (const std::exception&) {  // a file too big to hold in memory
        return ReadResult{};
    }
    if (!cut && result.bytes.size() > limit) {
        return ReadResult{ReadStatus::TooLarge, {}};
    }
    result.status = ReadStatus::Ok;
    return result;
}

// The file a write to `file` lands in: links followed to the end of their chain as open()
// follows them. Nullopt for a chain too long to be anything but a loop.
std::optional<fs::path> followLinks(fs::path file) {
    for (int hop = 0; hop <= FileIo::kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(file, ec))) {
            return file;
        }
        const fs::path target = fs::read_symlink(file, ec);
        if (ec) {
            return std::nullopt;
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return std::nullopt;
}

constexpr int kNoDescriptor = -1;

// A new file beside the target under a name nobody holds: its descriptor, or kNoDescriptor.
int createTempBeside(const fs::path& file, mode_t mode, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    const std::string base = "." + file.filename().string() + ".tmp" + std::to_string(::getpid());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = file.parent_path() / (base + "-" + std::to_string(counter++));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return kNoDescriptor;
}

// What the target is now: nothing (new file), a regular file with its mode, or something
// that must not be replaced.
struct Existing {
    bool usable = false;
    std::optional<mode_t> mode;
};

Existing inspect(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        return {errno == ENOENT, std::nullopt};
    }
    return {S_ISREG(st.st_mode), st.st_mode & kPermissionBits};
}

// Writes and syncs the temporary file; the caller renames it.
bool fillTemp(const FileSystem& files, int fd, const fs::path& temp, std::string_view bytes,
              const Existing& existing) {
    return (!existing.mode || ::fchmod(fd, *existing.mode) == 0) &&
           files.writeAll(fd, temp, bytes) && ::fsync(fd) == 0;
}

}  // namespace

ReadResult FileIo::readWhole(const path& file, std::uint64_t maxBytes) {
    return readRegular(file, maxBytes, false);
}

ReadResult FileIo::readHead(const path& file, std::uint64_t count) {
    return readRegular(file, count, true);
}

bool FileIo::writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileIo::flushFolder(const path& folder) {
    Descriptor fd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    const bool synced = ::fsync(fd.get()) == 0;
    return fd.close() && synced;
}

bool FileIo::replaceAtomically(const FileSystem& files, const path& file, std::string_view bytes,
                               unsigned newFileMode) {
    const std::optional<path> target = followLinks(file);
    if (!target) {
        return false;
    }
    const Existing existing = inspect(*target);
    if (!existing.usable) {
        return false;
    }
    path temp;
    const mode_t createMode = existing.mode ? kPrivateMode : (newFileMode & kPermissionBits);
    Descriptor fd(createTempBeside(*target, createMode, temp));
    if (fd.get() < 0) {
        return false;
    }
    bool ok = fillTemp(files, fd.get(), temp, bytes, existing);
    ok = fd.close() && ok;
    if (ok && ::rename(temp.c_str(), target->c_str()) == 0) {
        (void)files.flushFolder(target->parent_path());
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

bool FileIo::replaceAtomically(const path& file, std::string_view bytes, unsigned newFileMode) {
    return replaceAtomically(LocalFileSystem::machine(), file, bytes, newFileMode);
}

}  // namespace orven
