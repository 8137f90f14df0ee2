#include "store/FolderDownloadStore.h"

#include <system_error>
#include <utility>

#include "platform/FileIo.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "store/BoxInfo.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxNameBytes = 255;  // longest file name the Linux file systems take

bool isDirectory(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec);
}

int readMake(const FileSystem& files, const fs::path& folder) {
    return BoxInfo::file(folder, &files).getInt(BoxInfo::kSection, BoxInfo::kMakeKey, 0);
}

bool writeMake(const FileSystem& files, const fs::path& folder, int make) {
    return BoxInfo::file(folder, &files).writeInt(BoxInfo::kSection, BoxInfo::kMakeKey, make);
}

// An empty name in quotes, as the box name dialog writes it, then the pending mark.
bool markPending(const FileSystem& files, const fs::path& folder) {
    ProfileFile info = BoxInfo::file(folder, &files);
    const bool named = info.writeString(BoxInfo::kSection, BoxInfo::kNameKey, "\"\"");
    return named && info.writeInt(BoxInfo::kSection, BoxInfo::kMakeKey, BoxInfo::kMakePending);
}

bool hasSubfolder(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            return true;
        }
    }
    return false;
}

fs::path kindFolder(const fs::path& store, std::string_view kind) {
    return store / std::string(kind);
}

}  // namespace

FolderDownloadStore::FolderDownloadStore(const StoreContext& context, Progress progress)
    : m_context(context), m_progress(std::move(progress)) {}

bool FolderDownloadStore::isPlainFolderName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameBytes) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

int FolderDownloadStore::begin(const path& store, const std::vector<std::string>& answeringBoxNames,
                               const std::vector<std::string>& extensionBoxNames) {
    try {
        resetState();
        m_skipped.clear();
        if (!m_context.accessOk()) {
            return kFailed;
        }
        report(kProgressListsRead);
        const int answering =
            makeBoxFolders(kindFolder(store, StoreNames::kAnswering), answeringBoxNames);
        if (answering == kCancelled) {
            return kCancelled;
        }
        report(kProgressAnsweringDone);
        const int extension =
            makeBoxFolders(kindFolder(store, StoreNames::kExtension), extensionBoxNames);
        if (extension == kCancelled) {
            return kCancelled;
        }
        const int response = makeResponseFolder(kindFolder(store, StoreNames::kResponse));
        report(kProgressDone);
        return answering == kOk && extension == kOk && response == kOk ? kOk : kFailed;
    } catch (...) {
        return kFailed;
    }
}

int FolderDownloadStore::complete(const path& store) {
    try {
        if (!m_context.accessOk()) {
            return kFailed;
        }
        const FileSystem& files = m_context.files();
        std::vector<path> folders = StoreNames::boxFolders(store);
        folders.push_back(kindFolder(store, StoreNames::kResponse));
        int result = kOk;
        for (const path& folder : folders) {
            if (isDirectory(folder) && readMake(files, folder) == BoxInfo::kMakePending &&
                !writeMake(files, folder, BoxInfo::kMadeByDownload)) {
                result = kFailed;
            }
        }
        resetState();
        return result;
    } catch (...) {
        return kFailed;
    }
}

int FolderDownloadStore::cancel(const path& store) {
    try {
        if (!m_context.accessOk()) {
            return kFailed;
        }
        int result = removeCreatedBoxFolders();
        for (const std::string_view kind : {StoreNames::kAnswering, StoreNames::kExtension}) {
            const path folder = kindFolder(store, kind);
            std::error_code ec;
            // Not recursive: a kind folder that still holds anything stays.
            if (isDirectory(folder) && !hasSubfolder(folder)) {
                fs::remove(folder, ec);
            }
        }
        if (restoreResponseFolder(kindFolder(store, StoreNames::kResponse)) != kOk) {
            result = kFailed;
        }
        resetState();
        return result;
    } catch (...) {
        return kFailed;
    }
}

int FolderDownloadStore::makeBoxFolders(const path& kindFolder,
                                        const std::vector<std::string>& names) {
    std::error_code ec;
    fs::create_directories(kindFolder, ec);
    if (!isDirectory(kindFolder)) {
        return kFailed;
    }
    int result = kOk;
    for (const std::string& name : names) {
        if (cancelRequested()) {
            return kCancelled;
        }
        m_context.pump();
        if (!isPlainFolderName(name)) {
            m_skipped.push_back(name);
        } else if (makeBoxFolder(kindFolder / name) != kOk) {
            result = kFailed;
        }
    }
    return result;
}

int FolderDownloadStore::makeBoxFolder(const path& folder) {
    if (isDirectory(folder)) {
        return kOk;  // a box the PC knows already keeps its name and mark
    }
    std::error_code ec;
    if (!fs::create_directory(folder, ec)) {
        return kFailed;
    }
    // Without its pending mark a cancel could not tell it from a box folder that stays, so
    // a folder that cannot be marked is taken back at once.
    if (!markPending(m_context.files(), folder)) {
        FileOps::removeRecursive(folder);
        return kFailed;
    }
    m_createdBoxFolders.push_back(folder);
    return kOk;
}

int FolderDownloadStore::makeResponseFolder(const path& folder) {
    const path info = folder / std::string(StoreNames::kBoxInfoFile);
    std::error_code ec;
    if (isDirectory(folder)) {
        // Kept so a cancel can put it back: this folder may hold the response messages.
        if (fs::exists(info, ec)) {
            ReadResult old = m_context.files().readWhole(info, FileIo::kNoLimit);
            if (!old.ok()) {
                return kFailed;
            }
            m_oldResponseInfo = std::move(old.bytes);
        }
        m_response = ResponseFolder::Existed;
    } else {
        fs::create_directories(folder, ec);
        if (!isDirectory(folder)) {
            return kFailed;
        }
        m_response = ResponseFolder::Created;
    }
    return markPending(m_context.files(), folder) ? kOk : kFailed;
}

int FolderDownloadStore::removeCreatedBoxFolders() {
    int result = kOk;
    for (const path& folder : m_createdBoxFolders) {
        m_context.pump();
        if (isDirectory(folder) && readMake(m_context.files(), folder) == BoxInfo::kMakePending &&
            !FileOps::removeRecursive(folder)) {
            result = kFailed;
        }
    }
    return result;
}

int FolderDownloadStore::restoreResponseFolder(const path& folder) {
    const path info = folder / std::string(StoreNames::kBoxInfoFile);
    switch (m_response) {
        case ResponseFolder::Untouched:
            return kOk;
        case ResponseFolder::Created:
            if (readMake(m_context.files(), folder) != BoxInfo::kMakePending) {
                return kOk;
            }
            return FileOps::removeRecursive(folder) ? kOk : kFailed;
        case ResponseFolder::Existed:
            if (m_oldResponseInfo) {
                return FileIo::replaceAtomically(m_context.files(), info, *m_oldResponseInfo)
                           ? kOk
                           : kFailed;
            }
            return FileOps::removeRecursive(info) ? kOk : kFailed;
    }
    return kOk;
}

void FolderDownloadStore::resetState() {
    m_createdBoxFolders.clear();
    m_response = ResponseFolder::Untouched;
    m_oldResponseInfo.reset();
}

// Only the cancel flag: the worker's stop request stays raised while a folder download runs.
bool FolderDownloadStore::cancelRequested() const {
    return m_context.cancelFlag != nullptr && m_context.cancelFlag->load() != 0;
}

void FolderDownloadStore::report(int position) const {
    if (m_progress) {
        m_progress(position);
    }
}

}  // namespace orven
