#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace orven::test {

// A FileSystem whose answers the test sets. A setting made for a folder holds for everything
// below it; the deepest setting wins. Paths are compared lexically. Unless set otherwise: 1 TiB
// free everywhere, nothing on the network, everything reachable, reconnect changes nothing,
// and the file I/O does the real work on the real files.
class FakeFileSystem : public FileSystem {
  public:
    static constexpr std::uint64_t kDefaultFreeSpace = std::uint64_t{1} << 40;

    void setFreeSpace(const std::filesystem::path& folder, std::optional<std::uint64_t> bytes);
    void setNetworkPath(const std::filesystem::path& folder, bool network = true);
    void setReachable(const std::filesystem::path& folder, bool reachable);

    // From the call-th reconnect on (counting from 1), reconnect makes the folder reachable.
    void reconnectSucceedsOnCall(int call) { m_reconnectSucceedsOn = call; }
    int reconnectCalls() const { return m_reconnectCalls; }

    // Runs on every flush of a volume; its answer is the flush's (true when unset).
    std::function<bool(const std::filesystem::path&)> onFlush;

    // Writes to files in the folder fail after half their bytes with ENOSPC, as on a full disk.
    void setWritesFail(const std::filesystem::path& folder, bool fail = true);
    // Once `after` more writes have gone through, the next `count` writes anywhere fail so.
    void failWrites(int count, int after = 0);
    // Reads of files in the folder fail.
    void setReadsFail(const std::filesystem::path& folder, bool fail = true);
    // Flushes of the folder's entries fail.
    void setFolderFlushFails(const std::filesystem::path& folder, bool fail = true);
    // Writes tried so far, failed ones included.
    int writes() const { return m_writes; }

    std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) const override;
    bool isNetworkPath(const std::filesystem::path& folder) const override;
    bool isReachable(const std::filesystem::path& folder) const override;
    bool reconnect(const std::filesystem::path& folder) override;
    bool flushToDisk(const std::filesystem::path& path) const override;
    bool writeAll(int fd, const std::filesystem::path& file, std::string_view bytes) const override;
    bool flushFolder(const std::filesystem::path& folder) const override;
    ReadResult readWhole(const std::filesystem::path& file, std::uint64_t maxBytes) const override;

  private:
    template <typename T>
    using Settings = std::vector<std::pair<std::filesystem::path, T>>;

    template <typename T>
    static void set(Settings<T>& settings, const std::filesystem::path& folder, T value);
    template <typename T>
    static const T* lookup(const Settings<T>& settings, const std::filesystem::path& path);

    Settings<std::optional<std::uint64_t>> m_freeSpace;
    Settings<bool> m_network;
    Settings<bool> m_reachable;
    std::optional<int> m_reconnectSucceedsOn;
    int m_reconnectCalls = 0;
    Settings<bool> m_writesFail;
    Settings<bool> m_readsFail;
    Settings<bool> m_folderFlushFails;
    // The file I/O is const, as on the real machine; what it counts is not.
    mutable int m_writes = 0;
    mutable int m_writesBeforeFailing = 0;
    mutable int m_failingWrites = 0;
};

}  // namespace orven::test
