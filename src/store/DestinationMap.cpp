#include "store/DestinationMap.h"

#include <algorithm>

namespace orven {

void DestinationMap::SetDestFolderMap(const std::vector<std::string>& names,
                                      const std::vector<std::filesystem::path>& folders) {
    const std::size_t count = std::min(names.size(), folders.size());
    m_names.assign(names.begin(), names.begin() + count);
    m_folders.assign(folders.begin(), folders.begin() + count);
    m_lastFound.clear();
}

std::filesystem::path DestinationMap::LookupDestFolder(const std::string& name) const {
    const auto it = std::find(m_names.begin(), m_names.end(), name);
    m_lastFound = it == m_names.end() ? std::filesystem::path() : m_folders[it - m_names.begin()];
    return m_lastFound;
}

}  // namespace orven
