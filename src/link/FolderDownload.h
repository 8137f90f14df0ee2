#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/FolderDownloadResult.h"
#include "link/JobEnvironment.h"
#include "link/ListingResult.h"

namespace orven {

// Builds the box folder tree of a store from the box lists of the main unit. Folders it adds
// stay marked pending until the end, so a cancel takes back exactly what this run made.
// The caller asks first, logs in, and shows the outcome; progress goes to the dialog given.
class FolderDownload {
  public:
    explicit FolderDownload(JobEnvironment& env) : m_env(env) {}

    // progress may be null (the first-download wizard shows none).
    FolderDownloadResult run(const std::filesystem::path& store, Progress* progress);

    // Whether the last run ended on the cancel flag.
    bool cancelled() const { return m_cancelled; }
    const std::vector<std::string>& answeringBoxes() const { return m_answering; }
    const std::vector<std::string>& extensionBoxes() const { return m_extension; }

  private:
    // Listed with the box names kept, or why not.
    ListingResult readBoxLists();
    FolderDownloadResult buildFolders(const std::filesystem::path& store, Progress* progress);

    JobEnvironment& m_env;
    bool m_cancelled = false;
    std::vector<std::string> m_answering;
    std::vector<std::string> m_extension;
};

}  // namespace orven
