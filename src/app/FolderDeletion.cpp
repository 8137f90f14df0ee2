#include "app/FolderDeletion.h"

#include <memory>
#include <string>
#include <system_error>
#include <utility>

#include "resources/Texts.h"

namespace fs = std::filesystem;

namespace orven {
namespace {

// Holds the always-on download from construction to destruction.
class WorkerHold {
  public:
    explicit WorkerHold(SessionController& session) : m_session(session) {
        m_session.pauseWorker(true);
    }
    ~WorkerHold() { m_session.endForegroundJob(); }
    WorkerHold(const WorkerHold&) = delete;
    WorkerHold& operator=(const WorkerHold&) = delete;

  private:
    SessionController& m_session;
};

}  // namespace

FolderDeletion::FolderDeletion(CommandContext& context, HoldingFolder::Random random)
    : m_context(context), m_random(std::move(random)) {}

FolderDeletion::Result FolderDeletion::whileHeld(const std::function<bool()>& work) {
    const WorkerHold hold(m_context.session);
    if (!m_context.folderUsable()) {
        return Result::Unreachable;
    }
    bool gone = false;
    {
        const std::unique_ptr<Progress> progress =
            m_context.ui.openProgress(std::string(text::kProgressDeleting),
                                      std::string(text::kProgressDeletingFolder), nullptr);
        gone = work();
    }
    if (!gone) {
        m_context.tell(text::kSomeFilesNotDeleted, text::kErrorTitle);
        return Result::Failed;
    }
    return Result::Done;
}

FolderDeletion::Result FolderDeletion::deleteTemporarily(const fs::path& folder) {
    if (!m_context.ask(text::kHoldConfirm, text::kHoldConfirmTitle)) {
        return Result::Declined;
    }
    return whileHeld([&] {
        const StoreContext store = m_context.store();
        HoldingFolder holding(store, m_context.holdingFolder, m_random);
        return holding.hold(folder) == HoldingFolder::Result::Done;
    });
}

FolderDeletion::Result FolderDeletion::deletePermanently(const fs::path& folder) {
    if (!m_context.ask(text::kDeleteConfirm, text::kDeleteConfirmTitle) ||
        !m_context.ask(text::kDeleteReconfirm, text::kDeleteReconfirmTitle)) {
        return Result::Declined;
    }
    return whileHeld([&] {
        std::error_code ec;
        fs::remove_all(folder, ec);
        return !ec && !fs::exists(fs::symlink_status(folder, ec));
    });
}

std::vector<HoldingFolder::Entry> FolderDeletion::heldFolders() const {
    const StoreContext store = m_context.store();
    return HoldingFolder(store, m_context.holdingFolder, m_random).entries();
}

FolderDeletion::Result FolderDeletion::restore(const std::vector<HoldingFolder::Entry>& chosen) {
    const StoreContext store = m_context.store();
    HoldingFolder holding(store, m_context.holdingFolder, m_random);
    bool failed = false;
    for (const HoldingFolder::Entry& entry : chosen) {
        if (!m_context.folderUsable()) {
            return Result::Unreachable;
        }
        failed = holding.restore(entry) != HoldingFolder::Result::Done || failed;
    }
    if (failed) {
        m_context.tell(text::kRestoreFailed, text::kErrorTitle);
        return Result::Failed;
    }
    return Result::Done;
}

}  // namespace orven
