#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

namespace orven {

class FileSystem;

enum class ReadStatus { Ok, Missing, Failed, TooLarge };

// What a read found. bytes holds the file (or its head) only when the status is Ok.
struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    std::string bytes;

    bool ok() const { return status == ReadStatus::Ok; }
};

// The one way whole files are read and written. Nothing here throws; failures come back as
// false or as a status, with errno telling why where the system said so.
//
// Rules of replaceAtomically, the same for every caller:
// - Atomic: the bytes go to a temporary file beside the target, are synced, and the temporary
//   file is renamed over the target; a crash leaves the old file or the new one. On failure
//   the old file is untouched and the temporary file is gone.
// - Mode: an existing file keeps its permission bits exactly; a new file gets newFileMode
//   less the process umask, as open() would make it.
// - Symbolic links are written through: a link at the path (and every link it leads to) stays,
//   and the file at the end of the chain is replaced, or made where a dangling link points.
//   A chain of more than kMaxLinkHops links (a loop) fails.
// - Only a regular file is replaced; a folder or device at the path makes the replace fail.
// - The folder is flushed after the rename; a failure there is not reported, because the
//   new contents are in place either way and the old ones cannot be brought back.
class FileIo {
  public:
    using path = std::filesystem::path;
    static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();
    static constexpr unsigned kDefaultMode = 0644;
    static constexpr int kMaxLinkHops = 40;

    // Reads a whole regular file. It is opened without blocking, so a FIFO at the path cannot
    // hang the reader; anything but a regular file is Failed. A file longer than maxBytes is
    // TooLarge and is not read.
    static ReadResult readWhole(const path& file, std::uint64_t maxBytes = kNoLimit);
    // The file's first `count` bytes, or all of a shorter file (Ok either way; the caller
    // checks the size). Otherwise as readWhole.
    static ReadResult readHead(const path& file, std::uint64_t count);

    // Writes every byte, writing on after an interrupted or short write. False at the first
    // error, or when the descriptor takes nothing more.
    static bool writeAll(int fd, std::string_view bytes);

    // Waits until the folder's entries (names made, renamed or removed in it) are on the
    // disk; false when that failed.
    static bool flushFolder(const path& folder);

    // See the rules above. The writes and the folder flush go through `files`, so a test can
    // make them fail; the second form uses the machine's own file system.
    static bool replaceAtomically(const FileSystem& files, const path& file, std::string_view bytes,
                                  unsigned newFileMode = kDefaultMode);
    static bool replaceAtomically(const path& file, std::string_view bytes,
                                  unsigned newFileMode = kDefaultMode);
};

}  // namespace orven
