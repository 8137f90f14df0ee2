#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace orven {

// The facts about folders that depend on the machine: free space, network mounts and whether
// a share is still there. Code asks through this interface so tests can fake every answer.
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
};

}  // namespace orven
