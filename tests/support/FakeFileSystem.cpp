#include "support/FakeFileSystem.h"

#include <algorithm>
#include <string>

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

}  // namespace orven::test
