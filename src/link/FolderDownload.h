#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/JobEnvironment.h"

namespace orven {

// Builds the box folder tree of a store from the box lists of the main unit. Folders it adds
// stay marked pending until the end, so a cancel takes back exactly what this run made.
// The caller asks first, logs in, and shows the outcome; progress goes to the dialog given.
class FolderDownload {
  public:
    static constexpr int kDone = 0;          // also after a cancel
    static constexpr int kListFailed = 1;    // the box lists could not be read
    static constexpr int kUnreachable = -1;  // the store could not be reached or written

    explicit FolderDownload(JobEnvironment& env) : m_env(env) {}

    // progress may be null (the first-download wizard shows none).
    int run(const std::filesystem::path& store, Progress* progress);

    // Whether the last run ended on the cancel flag.
    bool cancelled() const { return m_cancelled; }
    const std::vector<std::string>& answeringBoxes() const { return m_answering; }
    const std::vector<std::string>& extensionBoxes() const { return m_extension; }

  private:
    int readBoxLists();
    int buildFolders(const std::filesystem::path& store, Progress* progress);

    JobEnvironment& m_env;
    bool m_cancelled = false;
    std::vector<std::string> m_answering;
    std::vector<std::string> m_extension;
};

}  // namespace orven
