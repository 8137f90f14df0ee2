#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orven {

// Which local folder each message of a bundle belongs to, when one bundle covers several
// box folders (the backup).
class DestinationMap {
  public:
    // Replaces the map; the lists pair up by position (extra items of the longer are ignored).
    void SetDestFolderMap(const std::vector<std::string>& names,
                          const std::vector<std::filesystem::path>& folders);

    // The folder of the first entry with exactly this name; empty when there is none.
    // Remembers what it found.
    std::filesystem::path LookupDestFolder(const std::string& name) const;
    const std::filesystem::path& lastFound() const { return m_lastFound; }

    bool empty() const { return m_names.empty(); }
    // Every folder of the map, once for each name.
    const std::vector<std::filesystem::path>& folders() const { return m_folders; }

  private:
    std::vector<std::string> m_names;
    std::vector<std::filesystem::path> m_folders;
    mutable std::filesystem::path m_lastFound;
};

}  // namespace orven
