#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/FileIo.h"

namespace orven {

// The facts about folders that depend on the machine: free space, network mounts and whether
// a share is still there, and the file I/O that can fail. Code asks through this interface so
// tests can fake every answer and make any write fail.
class FileSystem {
  public:
    virtual ~FileSystem();

    // Bytes an unprivileged user may still write on the volume holding the folder; a folder
    // that does not exist yet answers for its nearest existing parent. Nullopt when nothing
    // on the way up can be asked.
    virtual std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) const = 0;

    // True when the folder (or its nearest existing parent) lies on a network file system.
    virtual bool isNetworkPath(const std::filesystem::path& folder) const = 0;

    // True when the folder exists and can be listed.
    virtual bool isReachable(const std::filesystem::path& folder) const = 0;

    // Tries to bring a lost network folder back (an automounter mounts on first access) and
    // tells whether it is reachable now.
    virtual bool reconnect(const std::filesystem::path& folder) = 0;

    // Writes everything still cached for the volume holding the path to the disk; false when
    // that could not be done or failed.
    virtual bool flushToDisk(const std::filesystem::path& path) const = 0;

    // The file I/O of FileIo, which every write of a whole file goes through. Here they do
    // the real work; a test file system overrides them to fail on purpose.
    //
    // Writes the bytes to the descriptor, which is open on `file` (see FileIo::writeAll).
    virtual bool writeAll(int fd, const std::filesystem::path& file, std::string_view bytes) const;
    // See FileIo::flushFolder.
    virtual bool flushFolder(const std::filesystem::path& folder) const;
    // See FileIo::readWhole.
    virtual ReadResult readWhole(const std::filesystem::path& file, std::uint64_t maxBytes) const;
};

}  // namespace orven
