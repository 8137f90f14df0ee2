#pragma once

#include "platform/FileSystem.h"

namespace orven {

// The real machine, asked through statvfs/statfs; its file I/O is the real one that
// FileSystem does.
class LocalFileSystem : public FileSystem {
  public:
    // One shared instance for code that was given no file system.
    static const LocalFileSystem& machine();

    std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) const override;
    bool isNetworkPath(const std::filesystem::path& folder) const override;
    bool isReachable(const std::filesystem::path& folder) const override;
    bool reconnect(const std::filesystem::path& folder) override;
    bool flushToDisk(const std::filesystem::path& path) const override;

    // The path itself when it exists, else its nearest existing parent; empty when none.
    // Relative paths are taken from the current folder.
    static std::filesystem::path nearestExisting(const std::filesystem::path& path);

    // Whether a statfs f_type belongs to a network (or FUSE) file system.
    static bool isNetworkType(std::uint32_t fsType);
};

}  // namespace orven
