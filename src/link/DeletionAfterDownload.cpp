#include "link/DeletionAfterDownload.h"

#include <set>

#include "link/ListingLines.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

constexpr int kDeleteUnsupported = 550;
constexpr int kCannotDelete = 555;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The ".vminf" names a long listing still shows.
std::set<std::string> infoNamesListed(const std::string& listing) {
    std::set<std::string> names;
    for (const std::string& line : ListingLines::Cut(listing)) {
        if (line.find("vminf") == std::string::npos) {
            continue;
        }
        const std::string dotted = ListingLines::PutDotsBack(line);
        names.insert(trimmed(ListingLines::LastCharacters(dotted, ListingLines::kNameLength)));
    }
    return names;
}

}  // namespace

bool DeletionAfterDownload::storedCompletely(const Listed& message, bool voiceWanted) {
    const std::filesystem::path info = message.localFolder / message.infoName;
    if (CFileMng::FileExists(info) != 1) {
        return false;
    }
    // FileExists finds the voice file under ".aac" or ".AAC".
    return !voiceWanted || CFileMng::FileExists(StoreNames::voicePath(info)) == 1;
}

bool DeletionAfterDownload::allStored(const std::vector<Listed>& listed, bool voiceWanted) {
    for (const Listed& message : listed) {
        if (!storedCompletely(message, voiceWanted)) {
            return false;
        }
    }
    return true;
}

int DeletionAfterDownload::run(const std::string& remoteDir, const std::vector<Listed>& listed,
                               bool voiceWanted, bool notify, int result) {
    if (m_env.ftp == nullptr || StoreNames::isResponsePath(remoteDir) ||
        m_store.IsAutoDeleteBox(remoteDir) != 1) {
        return result;
    }
    // The DELE takes the whole box: a message that is not here yet would be lost for good.
    if (!allStored(listed, voiceWanted)) {
        return result;
    }
    const std::filesystem::path here =
        listed.empty() ? std::filesystem::path() : listed.front().localFolder;
    // Nor may the messages be only in the cache, where a power cut after the DELE takes them.
    if (!listed.empty() && !m_env.store.files().flushToDisk(here)) {
        return result;
    }
    const int deleted = m_env.ftp->DeleteRemoteFile(here, remoteDir + "/*.vminf");
    if (deleted == kDeleteUnsupported) {
        return kCannotDelete;
    }
    std::string listing;
    const int listedAfter = deleted != 0 ? 0 : m_env.ftp->RunOperation(here, [&] {
        return m_env.ftp->ListLong(listing, remoteDir, false);
    });
    // Without a fresh listing nothing is known to have left the main unit.
    if (listedAfter == 1) {
        markLeft(remoteDir, listed, infoNamesListed(listing), notify);
    }
    return result;
}

void DeletionAfterDownload::markLeft(const std::string& remoteDir,
                                     const std::vector<Listed>& listed,
                                     const std::set<std::string>& stillListed, bool notify) {
    std::string lastLeft;
    for (const Listed& message : listed) {
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
