#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "store/StoreContext.h"

namespace orven {

// Message files of one bundle, written under temporary names and given their names a batch
// at a time: one flush of the volume makes every file of the batch durable before any of them
// is renamed, and the folder is flushed before they count as stored. So a file under a
// message name is whole even after a power cut, at the cost of one flush per batch instead
// of one per file.
class StoreBatch {
  public:
    using path = std::filesystem::path;
    // A file is written under its name plus this until its batch is committed.
    static constexpr std::string_view kPartSuffix = ".part";
    static constexpr std::size_t kMaxEntries = 256;
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{64} << 20;

    // One bundle entry in the order of the bundle: what the names list gets for it, and the
    // files to rename from their temporary names (none for a message stored before).
    struct Entry {
        std::string listed;
        path info;   // empty: nothing to rename
        path voice;  // empty: no voice file was written
    };

    // With replace, the other stored copies of a response message go once its new files
    // have their names.
    StoreBatch(const StoreContext& context, std::vector<std::string>* names, bool replace);
    ~StoreBatch();
    StoreBatch(const StoreBatch&) = delete;
    StoreBatch& operator=(const StoreBatch&) = delete;

    static path partOf(const path& file);
    // Writes the bytes under the file's temporary name through the context's file system; on
    // failure nothing is left. Not synced: commit() makes the batch durable at once.
    bool writePart(const path& file, std::string_view bytes) const;
    static void removePart(const path& file);
    // Removes the temporary files a crash left in the folder.
    static void removeLeftovers(const path& folder);

    // Takes an entry whose temporary files are written; bytes is their size.
    void add(Entry entry, std::uint64_t bytes);
    // True when an entry waiting in the batch writes this information file.
    bool holds(const path& info) const;
    bool full() const;

    // Makes the waiting files durable, renames them (information file first, so a crash in
    // between leaves a message without voice, which the next download asks for again),
    // flushes their folders and appends the entries to the names list. False, now and for
    // every later commit, when the files could not be made durable: their temporaries are
    // removed and nothing is counted.
    bool commit();
    bool failed() const { return m_failed; }
    // The size of the names list, or 1 without one.
    int count() const;

  private:
    bool flushVolumes() const;
    bool flushFolders() const;
    static bool giveNames(const Entry& entry);
    void removeOlderCopies(const std::vector<const Entry*>& named) const;
    void dropAll();
    void clear();

    const StoreContext& m_context;
    std::vector<std::string>* m_names;
    bool m_replace;
    std::vector<Entry> m_entries;
    std::vector<path> m_folders;
    std::unordered_set<std::string> m_infoFiles;
    std::uint64_t m_bytes = 0;
    bool m_failed = false;
};

}  // namespace orven
