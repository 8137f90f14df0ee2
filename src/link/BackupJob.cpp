#include "link/BackupJob.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>

#include "link/ListingLines.h"
#include "link/StoreResults.h"
#include "platform/FileIo.h"
#include "store/BoxInfo.h"
#include "store/CFileMng.h"
#include "store/FolderDownloadStore.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

constexpr std::uint64_t kBlock = 4096;
constexpr std::uint64_t kSpare = 4098;
constexpr std::size_t kMonthLength = 6;

bool hasBoth(const std::filesystem::path& folder, const std::string& stem) {
    return CFileMng::FileExists(folder / (stem + ".vminf")) == 1 &&
           CFileMng::FileExists(folder / (stem + ".aac")) == 1;
}

// A fetch of the bundle that did not come: the job ends there, without a reconnection.
JobResult jobResultOfFetch(TransferResult fetched) {
    switch (fetched) {
        case TransferResult::Cancelled:
            return JobResult::Cancelled;
        case TransferResult::Unavailable:
            return JobResult::FilesGone;
        default:
            return JobResult::CommunicationFailure;
    }
}

}  // namespace

JobResult BackupJob::BackupBox(const std::string& remoteDir, int& chosen, int& stored,
                               const std::string& kind, const std::string& boxName) {
    chosen = 0;
    stored = 0;
    // The box name comes from the main unit and becomes a folder name: nothing above or
    // beside the box folder may be reached through it.
    if ((kind != StoreNames::kAnswering && kind != StoreNames::kExtension) ||
        !FolderDownloadStore::isPlainFolderName(boxName)) {
        return JobResult::LocalFailure;
    }
    m_kind = kind;
    m_boxName = boxName;
    return m_env.ftp->RunOperation(m_plan.base, [&] {
        std::vector<Message> messages;
        const JobResult listedResult = listMessages(remoteDir, messages);
        if (listedResult != JobResult::Done) {
            return listedResult;
        }
        Wanted wanted;
        std::vector<DeletionAfterDownload::Listed> listed;
        JobResult result = chooseBoxMessages(messages, wanted, listed);
        if (result == JobResult::Done && !wanted.names.empty()) {
            chosen = static_cast<int>(wanted.names.size());
            CFileMng store(m_env, m_env.settings);
            result = exchange(store, remoteDir, wanted, Entry::Boxes, stored);
        }
        if (result == JobResult::Done && !listed.empty()) {
            CFileMng store(m_env, m_env.settings);
            const auto locate = [this](const std::string& stem) {
                return boxFolderOf(stem.substr(0, kMonthLength));
            };
            result = DeletionAfterDownload(m_env, store)
                         .run(remoteDir, listed, locate, true, false, JobResult::Done);
        }
        return result;
    });
}

JobResult BackupJob::BackupSystemMessages(int& chosen, int& stored, const std::string& remoteDir) {
    chosen = 0;
    stored = 0;
    const std::string folderName = m_plan.responseFolder();
    if (folderName.empty()) {
        return JobResult::LocalFailure;
    }
    const std::filesystem::path folder =
        m_plan.base / folderName / std::string(StoreNames::kResponse);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        return JobResult::LocalFailure;
    }
    return m_env.ftp->RunOperation(m_plan.base, [&] {
        std::vector<Message> messages;
        const JobResult listedResult = listMessages(remoteDir, messages);
        if (listedResult != JobResult::Done) {
            return listedResult;
        }
        CFileMng store(m_env, m_env.settings);
        Wanted wanted;
        const JobResult result = chooseResponses(store, messages, folder, wanted);
        if (result != JobResult::Done || wanted.names.empty()) {
            return result;
        }
        chosen = static_cast<int>(wanted.names.size());
        return exchange(store, remoteDir, wanted, Entry::SystemMessages, stored);
    });
}

// Every message of the listing once, however many of its files are listed.
JobResult BackupJob::listMessages(const std::string& remoteDir, std::vector<Message>& messages) {
    std::string text;
    const ListingResult result = m_env.ftp->ListLong(text, remoteDir, false);
    if (result == ListingResult::NoSuchDirectory) {
        return JobResult::NoSuchBox;
    }
    if (result != ListingResult::Listed || cancelled()) {
        return cancelled() ? JobResult::Cancelled : JobResult::CommunicationFailure;
    }
    const bool response = StoreNames::isResponsePath(remoteDir);
    std::map<std::string, std::int64_t> sizes;
    for (const std::string& line : ListingLines::Cut(text)) {
        const std::string name = ListingLines::MessageName(line, response);
        if (name.empty()) {
            continue;
        }
        std::int64_t& size = sizes[StoreNames::stem(name)];
        size = std::max(size, ListingLines::SizeField(line));  // the ".vmdat" is the larger
        m_env.pump();
    }
    for (const auto& [stem, size] : sizes) {
        messages.push_back({stem, size});
    }
    return JobResult::Done;
}

JobResult BackupJob::chooseBoxMessages(const std::vector<Message>& messages, Wanted& wanted,
                                       std::vector<DeletionAfterDownload::Listed>& listed) {
    for (const Message& message : messages) {
        const std::string month = message.stem.substr(0, kMonthLength);
        const std::filesystem::path target = boxFolderOf(month);
        // Messages outside the period are listed too: deletion is refused while they are
        // not stored, so they stay on the main unit for a later backup.
        listed.push_back({message.stem + ".vminf", target});
        if (!m_plan.inPeriod(month)) {
            continue;
        }
        if (!m_env.accessOk()) {
            return JobResult::LocalFailure;
        }
        if (m_plan.folderFor(month).empty() || hasBoth(target, message.stem)) {
            continue;
        }
        want(wanted, message, target);
    }
    return JobResult::Done;
}

JobResult BackupJob::chooseResponses(CFileMng& store, const std::vector<Message>& messages,
                                     const std::filesystem::path& folder, Wanted& wanted) {
    for (const Message& message : messages) {
        std::filesystem::path found;
        const int verdict = store.CheckExistingResponse(folder, message.stem + ".vmdat", found);
        if (verdict <= ExistingResponse::kFailed) {
            if (m_env.cancelFlag) {
                *m_env.cancelFlag = 1;
            }
            return JobResult::LocalFailure;
        }
        if (verdict != ExistingResponse::kUpToDate) {
            want(wanted, message, folder);
        }
    }
    return JobResult::Done;
}

void BackupJob::want(Wanted& wanted, const Message& message, const std::filesystem::path& folder) {
    wanted.names.push_back(message.stem + ".vmdat");
    wanted.folders.push_back(folder);
    wanted.months.push_back(message.stem.substr(0, kMonthLength));
    wanted.estimate += (static_cast<std::uint64_t>(message.size) / kBlock + 1) * kBlock;
}

JobResult BackupJob::checkSpace(const Wanted& wanted) const {
    for (const auto& folder : wanted.folders) {
        if (!makeFolder(folder)) {
            return JobResult::LocalFailure;
        }
    }
    const bool room = m_env.hasRoom(wanted.folders.front(), wanted.estimate + kSpare);
    return room ? JobResult::Done : JobResult::DiskFull;
}

// A box folder of a BU_ folder is made as the store expects one: both kind folders beside
// it, so the BU_ folder opens as a store, and its box information file.
bool BackupJob::makeFolder(const std::filesystem::path& folder) const {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || folder.filename() == StoreNames::kResponse) {
        return !ec;
    }
    const std::filesystem::path backup = folder.parent_path().parent_path();
    for (const std::string_view kind : {StoreNames::kAnswering, StoreNames::kExtension}) {
        std::filesystem::create_directories(backup / std::string(kind), ec);
        if (ec) {
            return false;
        }
    }
    const std::filesystem::path info = folder / std::string(StoreNames::kBoxInfoFile);
    return std::filesystem::exists(info, ec) ||
           BoxInfo(m_env).SetMakeState(folder, std::to_string(BoxInfo::kMadeByDownload)) == 1;
}

JobResult BackupJob::exchange(CFileMng& store, const std::string& remoteDir, const Wanted& wanted,
                              Entry entry, int& stored) {
    const JobResult space = checkSpace(wanted);
    if (space != JobResult::Done) {
        return space;
    }
    store.SetDestFolderMap(wanted.names, wanted.folders);
    const std::filesystem::path request =
        store.WriteRequestList(wanted.names, wanted.folders.front(), true);
    if (request.empty()) {
        return JobResult::LocalFailure;
    }
    const JobResult result = transfer(store, remoteDir, wanted, entry, request, stored);
    CFileMng::DeleteRequestLists(request);
    return result;
}

JobResult BackupJob::transfer(CFileMng& store, const std::string& remoteDir, const Wanted& wanted,
                              Entry entry, const std::filesystem::path& request, int& stored) {
    const ReadResult bytes = m_env.files().readWhole(request, FileIo::kNoLimit);
    if (!bytes.ok()) {
        if (m_env.stopRequest) {
            *m_env.stopRequest = 0;
        }
        return JobResult::CommunicationFailure;
    }
    if (!m_env.accessOk()) {
        return JobResult::LocalFailure;
    }
    const std::filesystem::path folder = request.parent_path();
    const std::string requestName = request.filename().string();
    const std::string requestPath = joinRemote(remoteDir, requestName);
    if (m_env.ftp->PutFile(bytes.bytes, folder, requestPath) != TransferResult::Done) {
        recordIncomplete(wanted, entry);
        return JobResult::CommunicationFailure;
    }
    const std::string extension = request.extension().string().substr(1);
    const TransferResult fetched =
        m_env.ftp->RetrieveFile(joinRemote(remoteDir, "*." + extension), requestName);
    if (fetched != TransferResult::Done) {
        return jobResultOfFetch(fetched);
    }
    std::vector<std::string> names;
    const int unpacked = store.UnpackBundle(folder, request, &names, true, false, true);
    stored = static_cast<int>(names.size());
    const JobResult result = jobResultOfUnpack(unpacked);
    if (result == JobResult::DiskFull) {
        recordIncomplete(wanted, entry);
    }
    return result;
}

void BackupJob::recordIncomplete(const Wanted& wanted, Entry entry) {
    if (m_record == nullptr) {
        return;
    }
    std::vector<std::string> months = wanted.months;
    std::sort(months.begin(), months.end());
    months.erase(std::unique(months.begin(), months.end()), months.end());
    for (const std::string& month : months) {
        m_record->writeIncomplete(month, entry);
    }
}

// A month without a prepared folder would go to its own monthly folder, where an earlier
// backup may have put it.
std::filesystem::path BackupJob::targetOf(const std::string& month) const {
    const std::string folder = m_plan.folderFor(month);
    return m_plan.base / (folder.empty() ? "BU_" + month : folder);
}

std::filesystem::path BackupJob::boxFolderOf(const std::string& month) const {
    return targetOf(month) / m_kind / m_boxName;
}

std::string BackupJob::joinRemote(const std::string& dir, const std::string& name) {
    return dir.ends_with('/') ? dir + name : dir + "/" + name;
}

}  // namespace orven
