#include "store/StoreBatch.h"

#include <algorithm>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "platform/FileOps.h"
#include "store/MessageFolder.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

constexpr mode_t kPartMode = 0644;  // less the umask, as every new store file

bool renamed(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
}

bool fileExists(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec);
}

}  // namespace

StoreBatch::StoreBatch(const StoreContext& context, std::vector<std::string>* names, bool replace)
    : m_context(context), m_names(names), m_replace(replace) {}

// What was never committed must not stay behind under any name.
StoreBatch::~StoreBatch() {
    dropAll();
}

StoreBatch::path StoreBatch::partOf(const path& file) {
    return file.string() + std::string(kPartSuffix);
}

bool StoreBatch::writePart(const path& file, std::string_view bytes) const {
    const path part = partOf(file);
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kPartMode);
    if (fd < 0) {
        return false;
    }
    const bool written = m_context.files().writeAll(fd, part, bytes);
    if (::close(fd) == 0 && written) {
        return true;
    }
    removePart(file);
    return false;
}

void StoreBatch::removePart(const path& file) {
    std::error_code ec;
    fs::remove(partOf(file), ec);
}

void StoreBatch::removeLeftovers(const path& folder) {
    const std::string suffix(kPartSuffix);
    for (const char* pattern : {"*.vminf", "*.aac"}) {
        for (const std::string& name : FileOps::glob(folder, pattern + suffix)) {
            std::error_code ec;
            fs::remove(folder / name, ec);
        }
    }
}

void StoreBatch::add(Entry entry, std::uint64_t bytes) {
    if (!entry.info.empty()) {
        m_infoFiles.insert(entry.info.native());
        const path folder = entry.info.parent_path();
        if (std::find(m_folders.begin(), m_folders.end(), folder) == m_folders.end()) {
            m_folders.push_back(folder);
        }
    }
    m_entries.push_back(std::move(entry));
    m_bytes += bytes;
}

bool StoreBatch::holds(const path& info) const {
    return m_infoFiles.contains(info.native());
}

bool StoreBatch::full() const {
    return m_entries.size() >= kMaxEntries || m_bytes >= kMaxBytes;
}

bool StoreBatch::commit() {
    if (m_failed || !flushVolumes()) {
        m_failed = true;
        dropAll();
        return false;
    }
    std::vector<const Entry*> named;
    for (const Entry& entry : m_entries) {
        if (giveNames(entry)) {
            named.push_back(&entry);
        }
    }
    m_failed = !flushFolders();
    if (!m_failed) {
        removeOlderCopies(named);
        for (const Entry* entry : named) {
            if (m_names != nullptr) {
                m_names->push_back(entry->listed);
            }
        }
    }
    clear();
    return !m_failed;
}

int StoreBatch::count() const {
    return m_names != nullptr ? static_cast<int>(m_names->size()) : 1;
}

// One flush for each folder of the batch; after the first, a folder on the same volume has
// little left to write.
bool StoreBatch::flushVolumes() const {
    return std::all_of(m_folders.begin(), m_folders.end(),
                       [&](const path& folder) { return m_context.files().flushToDisk(folder); });
}

bool StoreBatch::flushFolders() const {
    return std::all_of(m_folders.begin(), m_folders.end(),
                       [&](const path& folder) { return m_context.files().flushFolder(folder); });
}

// An entry whose files cannot all get their names is not counted; its leftovers go.
bool StoreBatch::giveNames(const Entry& entry) {
    if (entry.info.empty()) {
        return true;
    }
    if (!renamed(partOf(entry.info), entry.info)) {
        removePart(entry.info);
        if (!entry.voice.empty()) {
            removePart(entry.voice);
        }
        return false;
    }
    if (!entry.voice.empty() && !renamed(partOf(entry.voice), entry.voice)) {
        removePart(entry.voice);
        return false;
    }
    return true;
}

// Backwards, skipping messages already removed: of two copies of one response message in a
// batch the later in the bundle stays, as when every entry was stored on its own.
void StoreBatch::removeOlderCopies(const std::vector<const Entry*>& named) const {
    if (!m_replace) {
        return;
    }
    const MessageFolder folder(m_context);
    for (auto it = named.rbegin(); it != named.rend(); ++it) {
        const path& voice = (*it)->voice;
        if (!voice.empty() && fileExists(voice)) {
            folder.RemoveOlderCopies(voice.parent_path(), voice.filename().string());
        }
    }
}

void StoreBatch::dropAll() {
    for (const Entry& entry : m_entries) {
        for (const path* file : {&entry.info, &entry.voice}) {
            if (!file->empty()) {
                removePart(*file);
            }
        }
    }
    clear();
}

void StoreBatch::clear() {
    m_entries.clear();
    m_folders.clear();
    m_infoFiles.clear();
    m_bytes = 0;
}

}  // namespace orven
