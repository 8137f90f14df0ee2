#include "app/DownloadCommand.h"

#include <filesystem>
#include <string>

#include "app/DlFolderMove.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"

namespace orven {

namespace {

constexpr int kDoneButtonSet = 4;  // the one button "完了"

}  // namespace

DownloadCommand::Outcome DownloadCommand::run(const std::function<bool()>& dialog,
                                              bool completionInCustomBox) {
    if (!m_context.folderUsable()) {
        return Outcome::NotRun;
    }
    m_context.downloadCompleted = false;
    if (dialog()) {
        const int total = recount();
        if (m_context.downloadCompleted) {
            return total > kRollOverThreshold ? offerRollOver()
                                              : finishCompleted(completionInCustomBox);
        }
    }
    m_context.session.endForegroundJob();
    return Outcome::DialogClosed;
}

int DownloadCommand::recount() {
    return m_hooks.recount ? m_hooks.recount() : 0;
}

// The worker is held from the question to the end of the move: it must not download into
// the store while it is renamed.
DownloadCommand::Outcome DownloadCommand::offerRollOver() {
    m_context.session.pauseWorker(true);
    const std::filesystem::path base = m_context.doc.dataFolder.str();
    const StoreContext store = m_context.store();
    DlFolderMove move(store);
    const std::string name = move.NextDlFolderName(base);
    if (!m_context.ask(text::fill(text::kRollOverOffer, name), text::kConfirmTitle)) {
        m_context.session.endForegroundJob();
        return Outcome::KeptInPlace;
    }
    const DlFolderMove::Result result =
        move.MoveToDlFolder(base, m_context.doc.currentFolderName.str(), name);
    // A move that failed after the rename has taken the messages along all the same.
    if (result == DlFolderMove::Result::Moved || result == DlFolderMove::Result::MoveFailed) {
        if (m_hooks.refreshLists) {
            m_hooks.refreshLists();
        }
        recount();
    }
    if (result == DlFolderMove::Result::Moved) {
        m_context.session.endForegroundJob();
        m_context.tell(text::fill(text::kMovedToDlFolder, name), text::kDoneTitle,
                       Icon::Information);
        return Outcome::MovedToDlFolder;
    }
    // Too little room has been told by the move itself.
    if (result != DlFolderMove::Result::NoRoom) {
        m_context.tell(text::kFolderMoveFailed, text::kErrorTitle);
    }
    m_context.session.endForegroundJob();
    return Outcome::MoveFailed;
}

DownloadCommand::Outcome DownloadCommand::finishCompleted(bool completionInCustomBox) {
    m_context.session.endForegroundJob();
    if (completionInCustomBox) {
        CustomBox done;
        done.title = std::string(text::kDownloadDoneTitle);
        done.text = std::string(text::kDownloadDone);
        done.icon = Icon::Information;
        done.buttonSet = kDoneButtonSet;
        m_context.ui.customBox(done);
    } else {
        m_context.tell(text::kDownloadDone, text::kDownloadDoneTitle, Icon::Information);
    }
    return Outcome::Completed;
}

}  // namespace orven
