#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/StoreContext.h"

namespace orven {

// The store side of a folder download: box folders for the boxes the main unit lists, marked
// pending (MAKE 2) until the download completes, so that a cancel can take back exactly what
// this download added. Use one object from begin() to complete() or cancel().
class FolderDownloadStore {
  public:
    using path = std::filesystem::path;
    using Progress = std::function<void(int)>;

    static constexpr int kOk = 0;
    static constexpr int kFailed = -1;
    static constexpr int kCancelled = 1;  // begin() saw the cancel flag and stopped early

    // Progress positions of the whole folder download. The dialog shows kProgressStart
    // before it asks the main unit for the box lists; the rest come from begin().
    static constexpr int kProgressStart = 20;
    static constexpr int kProgressListsRead = 40;
    static constexpr int kProgressAnsweringDone = 60;
    static constexpr int kProgressDone = 100;

    explicit FolderDownloadStore(const StoreContext& context, Progress progress = {});

    // Creates "rusuroku", "naisen" and "outou" under the store and the box folders that are
    // missing. kOk, kCancelled, or kFailed (access check failed, or a folder could not be
    // made; the other folders are still tried).
    int begin(const path& store, const std::vector<std::string>& answeringBoxNames,
              const std::vector<std::string>& extensionBoxNames);
    // Marks every pending box folder and "outou" as downloaded. kOk or kFailed.
    int complete(const path& store);
    // Removes the box folders begin() made, the kind folders left empty, and "outou" when
    // begin() made it; an "outou" that was there before gets its old inf.ini back.
    int cancel(const path& store);

    // Box names of the last begin() that were not plain folder names and were left out.
    const std::vector<std::string>& skippedNames() const { return m_skipped; }

    // A name the main unit gives a box may only name one folder directly below its kind.
    static bool isPlainFolderName(std::string_view name);

  private:
    int makeBoxFolders(const path& kindFolder, const std::vector<std::string>& names);
    int makeBoxFolder(const path& folder);
    int makeResponseFolder(const path& folder);
    int removeCreatedBoxFolders();
    int restoreResponseFolder(const path& folder);
    void resetState();
    bool cancelRequested() const;
    void report(int position) const;

    enum class ResponseFolder { Untouched, Created, Existed };

    const StoreContext& m_context;
    Progress m_progress;
    std::vector<path> m_createdBoxFolders;
    std::vector<std::string> m_skipped;
    ResponseFolder m_response = ResponseFolder::Untouched;
    std::optional<std::string> m_oldResponseInfo;  // inf.ini bytes of an existing "outou"
};

}  // namespace orven
