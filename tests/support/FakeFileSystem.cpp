#include "support/FakeFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/FileIo.h"

namespace fs = std::filesystem;

namespace orven::test {

namespace {

std::vector<std::string> components(const fs::path& path) {
    std::vector<std::string> parts;
    for (const fs::path& part : path.lexically_normal()) {
        if (!part.empty()) {  // a trailing separator shows up as an empty part
            parts.push_back(part.string());
        }
    }
    return parts;
}

// How deep `folder` is when `path` lies in it or is it; -1 when it does not.
int depthWithin(const fs::path& path, const fs::path& folder) {
    const auto p = components(path);
    const auto f = components(folder);
    if (f.size() > p.size() || !std::equal(f.begin(), f.end(), p.begin())) {
        return -1;
    }
    return static_cast<int>(f.size());
}

bool isSet(const bool* setting) {
    return setting != nullptr && *setting;
}

}  // namespace

template <typename T>
void FakeFileSystem::set(Settings<T>& settings, const fs::path& folder, T value) {
    const auto same = [&](const auto& s) { return components(s.first) == components(folder); };
    std::erase_if(settings, same);
    settings.emplace_back(folder, std::move(value));
}

template <typename T>
const T* FakeFileSystem::lookup(const Settings<T>& settings, const fs::path& path) {
    const T* best = nullptr;
    int bestDepth = -1;
    for (const auto& [folder, value] : settings) {
        const int depth = depthWithin(path, folder);
        if (depth > bestDepth) {
            best = &value;
            bestDepth = depth;
        }
    }
    return best;
}

void FakeFileSystem::setFreeSpace(const fs::path& folder, std::optional<std::uint64_t> bytes) {
    set(m_freeSpace, folder, bytes);
}

void FakeFileSystem::setNetworkPath(const fs::path& folder, bool network) {
    set(m_network, folder, network);
}

void FakeFileSystem::setReachable(const fs::path& folder, bool reachable) {
    set(m_reachable, folder, reachable);
}

std::optional<std::uint64_t> FakeFileSystem::freeSpace(const fs::path& folder) const {
    const auto* bytes = lookup(m_freeSpace, folder);
    return bytes ? *bytes : kDefaultFreeSpace;
}

bool FakeFileSystem::isNetworkPath(const fs::path& folder) const {
    const bool* network = lookup(m_network, folder);
    return network && *network;
}

bool FakeFileSystem::isReachable(const fs::path& folder) const {
    const bool* reachable = lookup(m_reachable, folder);
    return !reachable || *reachable;
}

bool FakeFileSystem::reconnect(const fs::path& folder) {
    ++m_reconnectCalls;
    if (m_reconnectSucceedsOn && m_reconnectCalls >= *m_reconnectSucceedsOn) {
        setReachable(folder, true);
    }
    return isReachable(folder);
}

bool FakeFileSystem::flushToDisk(const fs::path& path) const {
    return !onFlush || onFlush(path);
}

void FakeFileSystem::setWritesFail(const fs::path& folder, bool fail) {
    set(m_writesFail, folder, fail);
}

void FakeFileSystem::failWrites(int count, int after) {
    m_failingWrites = count;
    m_writesBeforeFailing = after;
}

void FakeFileSystem::setReadsFail(const fs::path& folder, bool fail) {
    set(m_readsFail, folder, fail);
}

void FakeFileSystem::setFolderFlushFails(const fs::path& folder, bool fail) {
    set(m_folderFlushFails, folder, fail);
}

bool FakeFileSystem::writeAll(int fd, const fs::path& file, std::string_view bytes) const {
    ++m_writes;
    bool fail = isSet(lookup(m_writesFail, file));
    if (m_writesBeforeFailing > 0) {
        --m_writesBeforeFailing;
    } else if (m_failingWrites > 0) {
        --m_failingWrites;
        fail = true;
    }
    if (!fail) {
        return FileIo::writeAll(fd, bytes);
    }
    (void)FileIo::writeAll(fd, bytes.substr(0, bytes.size() / 2));
    errno = ENOSPC;
    return false;
}

bool FakeFileSystem::flushFolder(const fs::path& folder) const {
    return !isSet(lookup(m_folderFlushFails, folder)) && FileIo::flushFolder(folder);
}

ReadResult FakeFileSystem::readWhole(const fs::path& file, std::uint64_t maxBytes) const {
    if (isSet(lookup(m_readsFail, file))) {
        errno = EIO;
        return {};
    }
    return FileIo::readWhole(file, maxBytes);
}

}  // namespace orven::test
