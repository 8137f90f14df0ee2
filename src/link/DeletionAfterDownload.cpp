#include "link/DeletionAfterDownload.h"

#include "link/ListingLines.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

bool namesMessageFile(const std::string& line) {
    return line.find("vmdat") != std::string::npos || line.find("vminf") != std::string::npos;
}

// The ".vminf" names a long listing still shows.
std::set<std::string> infoNamesListed(const std::string& listing) {
    std::set<std::string> names;
    for (const std::string& line : ListingLines::Cut(listing)) {
        const std::string name = ListingLines::MessageName(line, false);
        if (!name.empty()) {
            names.insert(StoreNames::stem(name) + ".vminf");
        }
    }
    return names;
}

void addOnce(std::vector<DeletionAfterDownload::Listed>& messages,
             DeletionAfterDownload::Listed message) {
    for (const auto& known : messages) {
        if (known.infoName == message.infoName) {
            return;
        }
    }
    messages.push_back(std::move(message));
}

}  // namespace

bool DeletionAfterDownload::storedCompletely(const Listed& message, bool voiceWanted) {
    const std::filesystem::path info = message.localFolder / message.infoName;
    if (message.localFolder.empty() || CFileMng::FileExists(info) != 1) {
        return false;
    }
    // FileExists finds the voice file under ".aac" or ".AAC".
    return !voiceWanted || CFileMng::FileExists(StoreNames::voicePath(info)) == 1;
}

JobResult DeletionAfterDownload::run(const std::string& remoteDir,
                                     const std::vector<Listed>& listed, const Locator& locate,
                                     bool voiceWanted, bool notify, JobResult result) {
    if (m_env.ftp == nullptr || StoreNames::isResponsePath(remoteDir) ||
        m_store.IsAutoDeleteBox(remoteDir) != 1) {
        return result;
    }
    std::vector<Listed> messages = listed;
    const Check check = checkAllStored(remoteDir, locate, voiceWanted, messages);
    if (check == Check::HeldBack && m_env.deletionHeldBack) {
        m_env.deletionHeldBack(remoteDir);
    }
    // Nor may the messages be only in the cache, where a power cut after the DELE takes them.
    if (check != Check::AllStored || !flush(messages)) {
        return result;
    }
    const std::filesystem::path here =
        messages.empty() ? std::filesystem::path() : messages.front().localFolder;
    const TransferResult deleted = m_env.ftp->DeleteRemoteFile(here, remoteDir + "/*.vminf");
    if (deleted == TransferResult::Unavailable) {
        return JobResult::DeleteUnsupported;  // "550" to the wildcard DELE
    }
    if (deleted != TransferResult::Done) {
        return result;
    }
    std::string listing;
    const ListingResult listedAfter = m_env.ftp->RunOperation(
        here, [&] { return m_env.ftp->ListLong(listing, remoteDir, false); });
    // Without a whole listing nothing is known to have left the main unit.
    if (listedAfter == ListingResult::Listed) {
        markLeft(remoteDir, messages, infoNamesListed(listing), notify);
    }
    return result;
}

// The DELE takes the whole box as it is at that moment, so what counts is a listing taken
// right before it, not the one the download chose from. A line that names a message file we
// cannot read as one holds the box back too: we could not tell whether it is stored.
DeletionAfterDownload::Check DeletionAfterDownload::checkAllStored(const std::string& remoteDir,
                                                                   const Locator& locate,
                                                                   bool voiceWanted,
                                                                   std::vector<Listed>& messages) {
    std::string listing;
    const ListingResult listedNow =
        m_env.ftp->RunOperation({}, [&] { return m_env.ftp->ListLong(listing, remoteDir, false); });
    if (listedNow != ListingResult::Listed) {
        return Check::NotListed;
    }
    bool allStored = true;
    for (const std::string& line : ListingLines::Cut(listing)) {
        const std::string name = ListingLines::MessageName(line, false);
        if (name.empty()) {
            allStored = allStored && !namesMessageFile(line);
            continue;
        }
        const std::string stem = StoreNames::stem(name);
        Listed message{stem + ".vminf", locate(stem)};
        allStored = allStored && storedCompletely(message, voiceWanted);
        addOnce(messages, std::move(message));
    }
    return allStored ? Check::AllStored : Check::HeldBack;
}

bool DeletionAfterDownload::flush(const std::vector<Listed>& messages) const {
    std::set<std::filesystem::path> folders;
    for (const Listed& message : messages) {
        folders.insert(message.localFolder);
    }
    for (const std::filesystem::path& folder : folders) {
        if (!m_env.files().flushToDisk(folder)) {
            return false;
        }
    }
    return true;
}

void DeletionAfterDownload::markLeft(const std::string& remoteDir,
                                     const std::vector<Listed>& messages,
                                     const std::set<std::string>& stillListed, bool notify) {
    std::string lastLeft;
    for (const Listed& message : messages) {
        if (stillListed.count(message.infoName) != 0) {
            continue;
        }
        lastLeft = message.infoName;
        if (!refreshRecord(message.localFolder / message.infoName)) {
            if (m_env.cancelFlag != nullptr) {
                *m_env.cancelFlag = 1;
            }
            break;
        }
    }
    if (notify && !lastLeft.empty() && m_env.messagesLeft) {
        m_env.messagesLeft(remoteDir, lastLeft);
    }
}

// The record is read and written back, which brings its box name up to date.
bool DeletionAfterDownload::refreshRecord(const std::filesystem::path& info) const {
    if (CFileMng::FileExists(info) != 1) {
        return true;
    }
    FILESTS_INFO record;
    return m_store.ReadInfo(info, record) == 1 && m_store.WriteInfo(info, record) == 1;
}

}  // namespace orven
