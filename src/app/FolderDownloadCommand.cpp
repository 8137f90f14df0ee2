#include "app/FolderDownloadCommand.h"

#include <memory>
#include <string>

#include "link/FolderDownload.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"
#include "store/StoreNames.h"

namespace orven {

FolderDownloadCommand::Result FolderDownloadCommand::run(const std::filesystem::path& folder) {
    if (!m_context.ask(text::fill(text::kDownloadConfirm, folder.string()),
                       text::kDownloadConfirmTitle)) {
        return Result::Declined;
    }
    // The always-on download writes into the same folders.
    m_context.session.pauseWorker(true);
    std::atomic<int>& cancelFlag = m_context.session.cancelFlag();
    cancelFlag.store(0);
    Result result = Result::Cancelled;
    {
        const std::unique_ptr<Progress> progress =
            m_context.ui.openProgress(std::string(text::kProgressDownloading),
                                      std::string(text::kProgressDownloadingFolders), &cancelFlag);
        result = download(folder, progress.get());
    }
    tell(result, true);
    cancelFlag.store(0);
    m_context.session.endForegroundJob();
    return result;
}

FolderDownloadCommand::Result FolderDownloadCommand::runForWizard(
    const std::filesystem::path& folder) {
    const bool intoStore = StoreNames::isStore(folder);
    if (!m_context.ask(intoStore ? text::kFolderPageIntoStore : text::kFolderPageMakeFolders,
                       intoStore ? text::kFolderPageTitle : text::kFolderDownloadTitle)) {
        return Result::Declined;
    }
    // The wizard holds the always-on download for its whole run, owns the cancel flag and
    // tells the completion itself.
    const Result result = download(folder, nullptr);
    tell(result, false);
    return result;
}

FolderDownloadCommand::Result FolderDownloadCommand::download(const std::filesystem::path& folder,
                                                              Progress* progress) {
    m_accessRefused = false;
    JobEnvironment job = m_context.job();
    if (job.folderAccessCheck) {
        // The user who gave up at the check's question is not asked again in this run.
        job.folderAccessCheck = [this, check = job.folderAccessCheck] {
            m_accessRefused = m_accessRefused || !check();
            return !m_accessRefused;
        };
    }
    FolderDownload folderDownload(job);
    const FolderDownloadResult result = folderDownload.run(folder, progress);
    // A cancel during the box list read ends the read too; that is no communication error.
    if (folderDownload.cancelled() || job.cancelled()) {
        return Result::Cancelled;
    }
    switch (result) {
        case FolderDownloadResult::Done:
            return Result::Done;
        case FolderDownloadResult::ListFailed:
            return Result::ListFailed;
        case FolderDownloadResult::Unreachable:
            break;
    }
    return Result::Unreachable;
}

void FolderDownloadCommand::tell(Result result, bool withCompletion) {
    switch (result) {
        case Result::Done:
            if (withCompletion) {
                m_context.tell(text::kFolderDownloadDone, text::kDownloadDoneTitle,
                               Icon::Information);
            }
            break;
        case Result::ListFailed:
            m_context.tell(text::kCommunicationError, text::kErrorTitle);
            break;
        case Result::Unreachable:
            // The user gave up at the access check's own question: nothing more to say. A
            // folder that could not be made is told.
            if (!m_accessRefused) {
                m_context.tell(text::kDownloadLocalFailure, text::kErrorTitle);
            }
            break;
        case Result::Declined:
        case Result::Cancelled:
            break;
    }
}

}  // namespace orven
