#include "app/DlFolderMove.h"

#include <cstdint>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/FileOps.h"
#include "platform/SystemClock.h"
#include "resources/Texts.h"
#include "store/StoreNames.h"

namespace orven {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBoxInfoPrefix = "inf.";

// The progress steps the user sees: found room, renamed, folders rebuilt, done.
constexpr int kStepStarted = 30;
constexpr int kStepRenamed = 50;
constexpr int kStepRebuilt = 70;
constexpr int kStepDone = 100;

// Closes the progress dialog on every way out of the move.
class ProgressGuard {
  public:
    explicit ProgressGuard(Ui* ui) {
        if (ui != nullptr) {
            m_progress = ui->openProgress(std::string(text::kProgressMoving),
                                          std::string(text::kProgressRollOver), nullptr);
        }
    }
    ~ProgressGuard() {
        if (m_progress) {
            m_progress->close();
        }
    }
    ProgressGuard(const ProgressGuard&) = delete;
    ProgressGuard& operator=(const ProgressGuard&) = delete;

    void set(int percent) {
        if (m_progress) {
            m_progress->setPercent(percent);
        }
    }

  private:
    std::unique_ptr<Progress> m_progress;
};

}  // namespace

// What the store holds before the move, with paths relative to the store folder.
struct DlFolderMove::StoreWalk {
    std::uint64_t bytes = 0;
    std::vector<path> folders;       // parents before children
    std::vector<path> boxInfoFiles;  // names beginning "inf."
    bool complete = true;            // every entry could be listed
};

std::string DlFolderMove::NextDlFolderName(const path& base) const {
    const SystemClock systemClock;
    const Clock& clock = m_context.clock != nullptr ? *m_context.clock : systemClock;
    return StoreNames::nextDlFolderName(base, clock.now());
}

DlFolderMove::Result DlFolderMove::MoveToDlFolder(const path& base, const std::string& folderName,
                                                  const std::string& newName) {
    const path store = base / folderName;
    const path moved = base / newName;
    const StoreWalk walk = walkStore(store);
    // Nothing to write when the store is empty: a volume that cannot be asked must not stop it.
    if (walk.bytes > 0 && !m_context.hasRoom(store, walk.bytes)) {
        tellNoRoom();
        return Result::NoRoom;
    }
    ProgressGuard progress(m_context.ui);
    progress.set(kStepStarted);
    if (!m_context.accessOk()) {
        return Result::Unreachable;
    }
    // A store that could not be listed whole would come back without some of its box folders.
    if (!walk.complete || !renameStore(store, moved)) {
        return Result::MoveFailed;
    }
    progress.set(kStepRenamed);
    const bool rebuilt = rebuildStore(store, moved, walk);
    progress.set(kStepRebuilt);
    if (!copyResponses(store, moved) || !rebuilt) {
        return Result::MoveFailed;
    }
    progress.set(kStepDone);
    return Result::Moved;
}

DlFolderMove::StoreWalk DlFolderMove::walkStore(const path& store) {
    StoreWalk walk;
    std::error_code ec;
    fs::recursive_directory_iterator it(store, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code entryError;
        const fs::file_status status = it->symlink_status(entryError);
        const path relative = it->path().lexically_relative(store);
        if (fs::is_directory(status)) {
            walk.folders.push_back(relative);
        } else if (fs::is_regular_file(status)) {
            const std::uintmax_t size = it->file_size(entryError);
            walk.bytes += entryError ? 0 : size;
            if (it->path().filename().string().starts_with(kBoxInfoPrefix)) {
                walk.boxInfoFiles.push_back(relative);
            }
        }
        walk.complete = walk.complete && !entryError;
    }
    walk.complete = walk.complete && !ec;
    return walk;
}

void DlFolderMove::tellNoRoom() const {
    if (m_context.ui != nullptr) {
        m_context.ui->messageBox(std::string(text::kDownloadNoSpace),
                                 std::string(text::kErrorTitle), Buttons::Ok, Icon::Exclamation);
    }
}

// One rename on the store's volume: either everything is in the dated folder or nothing moved.
// A dated folder made meanwhile is never replaced.
bool DlFolderMove::renameStore(const path& store, const path& moved) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(moved, ec)) || !fs::is_directory(store, ec)) {
        return false;
    }
    fs::rename(store, moved, ec);
    return !ec;
}

// The empty store again, with its box folders and box information files, so box names and
// box settings stay with it. Goes on after a failure so as much as possible is back.
bool DlFolderMove::rebuildStore(const path& store, const path& moved, const StoreWalk& walk) {
    std::error_code ec;
    fs::create_directory(store, ec);
    bool complete = fs::is_directory(store, ec);
    for (const path& folder : walk.folders) {
        fs::create_directories(store / folder, ec);
        complete = complete && !ec;
    }
    for (const path& file : walk.boxInfoFiles) {
        complete = FileOps::copyRecursive(moved / file, store / file) && complete;
    }
    return complete;
}

// The system response messages belong to the store, not to one download: a store without
// them is not one the program can run on.
bool DlFolderMove::copyResponses(const path& store, const path& moved) {
    const path from = moved / StoreNames::kResponse;
    std::error_code ec;
    return fs::is_directory(from, ec) &&
           FileOps::copyRecursive(from, store / StoreNames::kResponse);
}

}  // namespace orven
