#include "link/BoxDownloadJob.h"

#include <chrono>
#include <optional>
#include <thread>

#include "link/ListingLines.h"
#include "link/Reconnection.h"
#include "link/StoreResults.h"
#include "platform/FileIo.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

// The exchange broke: it is tried again after a reconnection.
constexpr std::optional<JobResult> kRetry = std::nullopt;

// Room a message takes beyond its size in whole blocks, and room kept free besides.
constexpr std::uint64_t kMessageSpare = 4352;
constexpr std::uint64_t kBoxSpare = 4098;
constexpr std::uint64_t kInfoOnlyPerMessage = 256;
constexpr std::uint64_t kInfoOnlySpare = 4096;

// Clears away request lists and bundles: nothing of an exchange stays between runs.
void removeRequestFiles(const std::filesystem::path& localBox) {
    CFileMng::DeleteRequestLists(localBox / "");
}

}  // namespace

JobResult BoxDownloadJob::DownloadBox(const std::filesystem::path& localBox, int& chosen,
                                      const std::string& remoteDir, int& stored, bool workerMode,
                                      bool notify) {
    chosen = 0;
    stored = 0;
    if (m_env.ftp == nullptr) {
        return JobResult::CommunicationFailure;
    }
    CFileMng store(m_env, m_env.settings);
    const bool response = StoreNames::isResponsePath(remoteDir);
    const Exchange exchange{localBox, remoteDir, true, workerMode, response};
    const JobResult result = m_env.ftp->RunOperation(
        localBox, [&] { return downloadBox(store, exchange, notify, chosen, stored); });
    removeRequestFiles(localBox);
    return result;
}

JobResult BoxDownloadJob::DownloadBoxInfo(int& chosen, int& stored, const std::string& remoteDir,
                                          const std::filesystem::path& localBox) {
    chosen = 0;
    stored = 0;
    if (m_env.ftp == nullptr) {
        return JobResult::CommunicationFailure;
    }
    CFileMng store(m_env, m_env.settings);
    const Exchange exchange{localBox, remoteDir, false, false, false};
    const JobResult result = m_env.ftp->RunOperation(
        localBox, [&] { return downloadBoxInfo(store, exchange, chosen, stored); });
    removeRequestFiles(localBox);
    return result;
}

JobResult BoxDownloadJob::DownloadMessages(const std::filesystem::path& localBox,
                                           const std::vector<std::string>& vmdatNames,
                                           const std::string& remoteDir) {
    if (m_env.ftp == nullptr) {
        return JobResult::CommunicationFailure;
    }
    CFileMng store(m_env, m_env.settings);
    const Exchange exchange{localBox, remoteDir, true, false, false};
    const JobResult result = m_env.ftp->RunOperation(
        localBox, [&] { return downloadMessages(store, exchange, vmdatNames); });
    removeRequestFiles(localBox);
    if (result == JobResult::Done) {
        // Lets the progress dialog show the finished step before it goes away.
        for (int i = 0; i < m_env.timing.downloadDonePumpCount; ++i) {
            pump();
            std::this_thread::sleep_for(
                std::chrono::milliseconds(m_env.timing.downloadDonePumpPauseMs));
        }
    }
    return result;
}

JobResult BoxDownloadJob::downloadBox(CFileMng& store, const Exchange& exchange, bool notify,
                                      int& chosen, int& stored) {
    std::string listing;
    const JobResult listed = listWithReconnection(listing, exchange.remoteDir, false);
    if (listed != JobResult::Done) {
        return listed;
    }
    if (m_env.cancelled()) {
        return JobResult::Cancelled;
    }
    Selection selection;
    if (!selectMessages(store, listing, exchange, selection)) {
        setCancel();
        return JobResult::LocalFailure;
    }
    const bool response = exchange.response;
    if (selection.names.empty() && (response || selection.listed.empty())) {
        return JobResult::Done;
    }
    if (!selection.names.empty()) {
        if (!hasRoom(exchange.localBox, selection.estimate + kBoxSpare)) {
            return JobResult::DiskFull;
        }
        chosen = static_cast<int>(selection.names.size());
        const JobResult result = transfer(store, exchange, selection.names, stored);
        if (result != JobResult::Done || response) {
            return result;
        }
    }
    const auto inBox = [&](const std::string&) { return exchange.localBox; };
    return DeletionAfterDownload(m_env, store)
        .run(exchange.remoteDir, selection.listed, inBox, true, exchange.workerMode && notify,
             JobResult::Done);
}

JobResult BoxDownloadJob::downloadBoxInfo(CFileMng& store, const Exchange& exchange, int& chosen,
                                          int& stored) {
    std::string listing;
    const JobResult listed = listWithReconnection(listing, exchange.remoteDir, true);
    if (listed != JobResult::Done) {
        return listed;
    }
    if (m_env.cancelled()) {
        return JobResult::Cancelled;
    }
    const Selection selection = selectInformation(listing, exchange);
    if (selection.names.empty()) {
        return JobResult::Done;
    }
    const std::uint64_t needed = kInfoOnlyPerMessage * selection.names.size() + kInfoOnlySpare;
    if (!hasRoom(exchange.localBox, needed)) {
        return JobResult::DiskFull;
    }
    chosen = static_cast<int>(selection.names.size());
    return transfer(store, exchange, selection.names, stored);
}

JobResult BoxDownloadJob::downloadMessages(CFileMng& store, const Exchange& exchange,
                                           const std::vector<std::string>& names) {
    int stored = 0;
    return transfer(store, exchange, names, stored);
}

// A broken connection costs a reconnection; a missing box or a cancel ends the phase.
JobResult BoxDownloadJob::listWithReconnection(std::string& text, const std::string& remoteDir,
                                               bool namesOnly) {
    Reconnection reconnection(m_env);
    for (;;) {
        const ListingResult listed = namesOnly ? m_env.ftp->ListNames(text, remoteDir, true)
                                               : m_env.ftp->ListLong(text, remoteDir, true);
        if (listed == ListingResult::Listed) {
            return JobResult::Done;
        }
        if (listed == ListingResult::NoSuchDirectory) {
            return JobResult::NoSuchBox;
        }
        if (m_env.cancelled()) {
            return JobResult::Cancelled;
        }
        const JobResult reconnected = reconnection.reconnect();
        if (reconnected != JobResult::Done) {
            return reconnected;
        }
    }
}

bool BoxDownloadJob::selectMessages(const CFileMng& store, const std::string& listing,
                                    const Exchange& exchange, Selection& selection) const {
    const path& localBox = exchange.localBox;
    const bool response = exchange.response;
    for (const std::string& line : ListingLines::Cut(listing)) {
        pump();
        const std::string name = ListingLines::MessageName(line, response);
        if (name.empty()) {
            continue;
        }
        const std::string stem = StoreNames::stem(name);
        bool wanted = false;
        if (response) {
            if (!selectResponse(store, localBox, stem + ".vmdat", wanted)) {
                return false;
            }
        } else {
            DeletionAfterDownload::Listed message{stem + ".vminf", localBox};
            wanted = !DeletionAfterDownload::storedCompletely(message, true);
            selection.listed.push_back(std::move(message));
        }
        if (wanted) {
            const auto size = static_cast<std::uint64_t>(ListingLines::SizeField(line));
            selection.names.push_back(stem + ".vmdat");
            selection.estimate += size / 4096 * 4096 + kMessageSpare;
        }
    }
    return true;
}

// A response message is wanted unless a copy of the same age or newer is stored. False when
// the stored copies could not be looked at.
bool BoxDownloadJob::selectResponse(const CFileMng& store, const path& localBox,
                                    const std::string& name, bool& wanted) const {
    path found;
    const int existing = store.CheckExistingResponse(localBox, name, found);
    if (existing <= ExistingResponse::kFailed) {
        return false;
    }
    wanted = existing != ExistingResponse::kUpToDate;
    return true;
}

BoxDownloadJob::Selection BoxDownloadJob::selectInformation(const std::string& listing,
                                                            const Exchange& exchange) const {
    // The names of the response messages are one shorter, though no newer-copy rule applies.
    const bool response = StoreNames::isResponsePath(exchange.remoteDir);
    const path& localBox = exchange.localBox;
    Selection selection;
    for (const std::string& line : ListingLines::Cut(listing)) {
        pump();
        const std::string name = ListingLines::MessageName(line, response);
        if (!name.ends_with(".vminf")) {
            continue;
        }
        if (CFileMng::FileExists(localBox / name) != 1) {
            selection.names.push_back(name);
        }
    }
    return selection;
}

bool BoxDownloadJob::hasRoom(const path& localBox, std::uint64_t needed) const {
    return m_env.hasRoom(localBox, needed);
}

// Request list, STOR, RETR and unpacking, tried again after a reconnection when the
// connection breaks.
JobResult BoxDownloadJob::transfer(CFileMng& store, const Exchange& exchange,
                                   const std::vector<std::string>& names, int& stored) {
    Reconnection reconnection(m_env);
    path bundle;
    StepResult fetched = fetchBundle(store, exchange, names, bundle);
    while (fetched == kRetry) {
        const JobResult reconnected = reconnection.reconnect();
        if (reconnected != JobResult::Done) {
            return reconnected;
        }
        fetched = fetchBundle(store, exchange, names, bundle);
    }
    if (*fetched != JobResult::Done) {
        return *fetched;
    }
    if (exchange.workerMode && m_env.stopRequested()) {
        if (m_env.stoppedAfterFetch) {
            m_env.stoppedAfterFetch(exchange.remoteDir);
        }
        return JobResult::Stopped;
    }
    return unpack(store, exchange, bundle, stored);
}

JobResult BoxDownloadJob::unpack(CFileMng& store, const Exchange& exchange, const path& bundle,
                                 int& stored) {
    std::vector<std::string> names;
    const int unpacked = store.UnpackBundle(exchange.localBox, bundle, &names, exchange.voice,
                                            exchange.response, false);
    stored = static_cast<int>(names.size());
    return jobResultOfUnpack(unpacked);
}

// Stores the request list and fetches the bundle for it: Done, kRetry, or the job's result.
BoxDownloadJob::StepResult BoxDownloadJob::fetchBundle(CFileMng& store, const Exchange& exchange,
                                                       const std::vector<std::string>& names,
                                                       path& bundle) {
    const StepResult put = storeRequest(store, exchange, names, bundle);
    if (put != JobResult::Done) {
        return put;
    }
    const std::string request = bundle.filename().string();
    const std::string extension = request.substr(request.size() - 5);
    const TransferResult got =
        m_env.ftp->RetrieveFile(exchange.remoteDir + "/*." + extension, request);
    if (got == TransferResult::Done) {
        return JobResult::Done;
    }
    if (!m_env.accessOk()) {
        return JobResult::LocalFailure;
    }
    if (got == TransferResult::Cancelled) {
        return JobResult::Cancelled;
    }
    if (got == TransferResult::Unavailable) {
        return JobResult::FilesGone;  // "550": the messages left the main unit meanwhile
    }
    // A partly received bundle must not be taken for a request list of the next try.
    removeRequestFiles(exchange.localBox);
    m_env.ftp->Logout();
    return kRetry;
}

// Writes the request list and stores it on the main unit: Done, kRetry, or the job's result.
BoxDownloadJob::StepResult BoxDownloadJob::storeRequest(CFileMng& store, const Exchange& exchange,
                                                        const std::vector<std::string>& names,
                                                        path& request) {
    request = store.WriteRequestList(names, exchange.localBox, exchange.voice);
    if (request.empty() || !m_env.accessOk()) {
        return JobResult::LocalFailure;
    }
    const ReadResult bytes = m_env.files().readWhole(request, FileIo::kNoLimit);
    if (!bytes.ok()) {
        if (m_env.stopRequest != nullptr) {
            *m_env.stopRequest = 0;
        }
        return JobResult::CommunicationFailure;
    }
    if (!m_env.accessOk()) {
        return JobResult::LocalFailure;
    }
    const std::string remotePath = exchange.remoteDir + "/" + request.filename().string();
    const TransferResult put = m_env.ftp->PutFile(bytes.bytes, exchange.localBox, remotePath);
    if ((exchange.workerMode && m_env.stopRequested()) || m_env.cancelled()) {
        return JobResult::Cancelled;
    }
    return put == TransferResult::Done ? StepResult(JobResult::Done) : kRetry;
}

void BoxDownloadJob::setCancel() {
    if (m_env.cancelFlag != nullptr) {
        *m_env.cancelFlag = 1;
    }
}

void BoxDownloadJob::pump() const {
    m_env.pump();
}

}  // namespace orven
