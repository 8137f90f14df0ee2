#include "link/FolderDownload.h"

#include "link/ListingLines.h"
#include "store/FolderDownloadStore.h"

namespace orven {

namespace {

void advance(Progress* progress, int position) {
    if (progress != nullptr) {
        progress->setPercent(position);
    }
}

}  // namespace

FolderDownloadResult FolderDownload::run(const std::filesystem::path& store, Progress* progress) {
    m_cancelled = false;
    m_answering.clear();
    m_extension.clear();
    advance(progress, FolderDownloadStore::kProgressStart);
    if (readBoxLists() != ListingResult::Listed) {
        return FolderDownloadResult::ListFailed;
    }
    return buildFolders(store, progress);
}

ListingResult FolderDownload::readBoxLists() {
    if (m_env.ftp == nullptr) {
        return ListingResult::Failed;
    }
    std::string root;
    std::string extension;
    std::string answering;
    const ListingResult result = m_env.ftp->GetBoxList(root, extension, answering);
    if (result == ListingResult::Listed) {
        m_answering = ListingLines::Cut(answering);
        m_extension = ListingLines::Cut(extension);
    }
    return result;
}

FolderDownloadResult FolderDownload::buildFolders(const std::filesystem::path& store,
                                                  Progress* progress) {
    FolderDownloadStore folders(m_env, [progress](int position) { advance(progress, position); });
    const int begun = folders.begin(store, m_answering, m_extension);
    if (begun == FolderDownloadStore::kCancelled || m_env.cancelled()) {
        m_cancelled = true;
        folders.cancel(store);
        return FolderDownloadResult::Done;
    }
    // Folders that were made stay usable even when others could not be made.
    const int completed = folders.complete(store);
    return begun == FolderDownloadStore::kOk && completed == FolderDownloadStore::kOk
               ? FolderDownloadResult::Done
               : FolderDownloadResult::Unreachable;
}

}  // namespace orven
