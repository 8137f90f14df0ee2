#include "store/MessageFolder.h"

#include <algorithm>
#include <cerrno>
#include <initializer_list>
#include <mutex>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include <fcntl.h>
#include <unistd.h>

#include "platform/CodePage.h"
#include "platform/FileOps.h"
#include "store/BoxInfo.h"
#include "store/HeaderBlock.h"
#include "store/MessageInfoFile.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInfoExt = ".vminf";
constexpr std::string_view kDataExt = ".vmdat";
constexpr std::string_view kVoiceExt = ".aac";
constexpr std::size_t kResponseVoiceNameLength = 30;
constexpr std::size_t kResponseInfoNameLength = 32;

// Counting checks each message only under a folder path containing this text. It reads like a
// slip for "outou", but the response folder has always been counted without opening its
// files, and the numbers users see come from that; kept as it was.
constexpr std::string_view kValidatedCountMarker = ".outou";

static_assert(MessageFolder::kMaxPathChars + 2 ==
              sizeof(FILESTS_INFO::filePath) / sizeof(char16_t));

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view nameOf(const fs::path& file) {
    const std::string& native = file.native();
    return std::string_view(native).substr(native.rfind('/') + 1);
}

// One lock for every scan in the process. A scan pumps the user interface, which may start
// another scan on the same thread; that one runs under the lock already held instead of
// waiting for itself forever.
std::mutex& scanMutex() {
    static std::mutex mutex;
    return mutex;
}
thread_local int t_scanDepth = 0;

class ScanLock {
  public:
    ScanLock() {
        if (t_scanDepth == 0) {
            scanMutex().lock();
        }
        ++t_scanDepth;
    }
    ~ScanLock() {
        if (--t_scanDepth == 0) {
            scanMutex().unlock();
        }
    }
    ScanLock(const ScanLock&) = delete;
    ScanLock& operator=(const ScanLock&) = delete;
};

// The text a file of the folder has in front of its name, as folder / name would give it.
std::string prefixOf(const fs::path& folder) {
    std::string joined = (folder / "x").native();
    joined.pop_back();
    return joined;
}

enum class Read { Ok, Short, Missing, Failed };

// Reads the first size bytes. O_NONBLOCK keeps a stray fifo in a box folder from hanging the
// list; it changes nothing for regular files.
Read readPrefix(const char* file, char* buffer, std::size_t size) {
    const int fd = ::open(file, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno == ENOENT ? Read::Missing : Read::Failed;
    }
    std::size_t got = 0;
    bool failed = false;
    while (got < size && !failed) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n == 0) {
            break;
        }
        failed = n < 0 && errno != EINTR;
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    ::close(fd);
    return failed ? Read::Failed : got < size ? Read::Short : Read::Ok;
}

// The name has the length of its kind, which the folder decides.
bool isCandidate(std::string_view name, bool responseFolder) {
    return name.size() ==
           (responseFolder ? StoreNames::kResponseNameLength : StoreNames::kBoxNameLength);
}

// A ".vminf" beside the ".vmdat" of the same stem is one message, counted through the latter.
bool hasDataTwin(std::string_view name, const std::unordered_set<std::string_view>& dataFiles,
                 std::string& twin) {
    const std::size_t at = name.find(kInfoExt);
    if (at == std::string::npos || dataFiles.empty()) {
        return false;
    }
    twin.assign(name).replace(at, kInfoExt.size(), kDataExt);
    return dataFiles.contains(twin);
}

// Characters 16 to 25 of a response message name, "_BBBB_NNNN". Empty for a name too short
// or holding a wildcard, which would widen the search (and the deletion) to other messages.
std::string numberPart(std::string_view name) {
    if (name.size() < 26) {
        return {};
    }
    const std::string_view part = name.substr(16, 10);
    return part.find_first_of("*?") == std::string_view::npos ? std::string(part) : std::string();
}

// Compares the minutes at the start of both names. A name without them cannot be judged and
// counts as older, so the new download replaces it as it replaces oddly named copies.
bool storedIsCurrent(std::string_view stored, std::string_view incoming) {
    const std::string storedMoment = StoreNames::stemMoment(stored);
    const std::string incomingMoment = StoreNames::stemMoment(incoming);
    return !storedMoment.empty() && !incomingMoment.empty() && storedMoment >= incomingMoment;
}

// Deletes the files matching the pattern whose names have the given length, except keep. keep
// is compared without case: on a share that ignores case, "x.AAC" may be the file just
// written as "x.aac".
bool removeOthers(const fs::path& folder, const std::string& pattern, std::size_t length,
                  std::string_view keep) {
    bool removedAll = true;
    for (const std::string& name : FileOps::glob(folder, pattern)) {
        if (name.size() != length || equalsIgnoringCase(name, keep)) {
            continue;
        }
        std::error_code ec;
        fs::remove(folder / name, ec);
        removedAll = removedAll && !ec;
    }
    return removedAll;
}

bool isKindFolder(const fs::path& folder) {
    const std::string_view name = nameOf(folder);
    return contains(name, StoreNames::kExtension) || contains(name, StoreNames::kAnswering);
}

}  // namespace

int MessageFolder::ScanFolder(std::vector<FILESTS_INFO>& records, const path& boxFolder) const {
    try {
        return scan(records, boxFolder);
    } catch (...) {
        return kScanFailed;
    }
}

int MessageFolder::ScanFolder(std::vector<FILESTS_INFO>& records, const Listing& listing) const {
    try {
        return listing.complete ? scanListed(records, listing.folder, listing.names)
                                : scan(records, listing.folder);
    } catch (...) {
        return kScanFailed;
    }
}

// What one scan learns in its first pass and keeps for the second.
struct MessageFolder::ScanState {
    std::size_t infoFiles = 0;
    // The voice files as listed, so that finding one in either case costs no lookup on disk.
    std::unordered_set<std::string_view> voiceFiles;
    bool responseFolder = false;
    std::u16string boxName;
    std::string filePrefix;   // what folder / name puts in front of a name
    std::string shownPrefix;  // the same for the voice file shown in its place
    // Reused, so that naming a file allocates nothing.
    std::string filePath;
    std::string voicePath;
};

int MessageFolder::scan(std::vector<FILESTS_INFO>& records, const path& boxFolder) const {
    const ScanLock lock;
    std::vector<std::string> names;
    if (!FileOps::listFileNames(boxFolder, names)) {
        return kScanFailed;
    }
    return scanListed(records, boxFolder, names);
}

int MessageFolder::scanListed(std::vector<FILESTS_INFO>& records, const path& boxFolder,
                              const std::vector<std::string>& names) const {
    const ScanLock lock;
    ScanState state;
    if (!checkMessageFiles(names, state)) {
        return kScanFailed;
    }
    state.responseFolder = StoreNames::isResponsePath(boxFolder);
    state.boxName = CodePage::utf8ToUtf16(BoxInfo::ReadBoxName(boxFolder, &m_context.files()));
    state.filePrefix = prefixOf(boxFolder);
    state.shownPrefix = prefixOf((boxFolder / "x").parent_path());
    std::vector<FILESTS_INFO> found;
    found.reserve(std::min(state.infoFiles, m_recordLimit));
    if (!collectRecords(names, state, found)) {
        return kScanFailed;
    }
    records = std::move(found);
    return kScanned;
}

// The first pass runs the access check for every message file before anything is read; it
// also notes the voice files and how many records to make room for.
bool MessageFolder::checkMessageFiles(const std::vector<std::string>& names,
                                      ScanState& state) const {
    for (const std::string& name : names) {
        if (name.ends_with(".aac") || name.ends_with(".AAC")) {
            state.voiceFiles.emplace(name);
        }
        const bool info = contains(name, kInfoExt);
        if (!info && !contains(name, kDataExt)) {
            continue;
        }
        state.infoFiles += info ? 1 : 0;
        m_context.pump();
        if (!m_context.accessOk()) {
            return false;
        }
    }
    return true;
}

bool MessageFolder::collectRecords(const std::vector<std::string>& names, ScanState& state,
                                   std::vector<FILESTS_INFO>& found) const {
    for (const std::string& name : names) {
        if (found.size() >= m_recordLimit) {
            return true;
        }
        if (!contains(name, kInfoExt) && !contains(name, kVoiceExt)) {
            continue;
        }
        m_context.pump();
        if (!m_context.accessOk()) {
            return false;
        }
        // Read in place; a record not listed is taken back.
        const Outcome outcome = readRecord(name, state, found.emplace_back());
        if (outcome != Outcome::Listed) {
            found.pop_back();
        }
        if (outcome == Outcome::Failed) {
            return false;
        }
    }
    return true;
}

MessageFolder::Outcome MessageFolder::readRecord(std::string_view name, ScanState& state,
                                                 FILESTS_INFO& record) const {
    // Only names of the message length pass the validation; others are not worth opening.
    if (!isCandidate(name, state.responseFolder)) {
        return Outcome::Skipped;
    }
    state.filePath.assign(state.filePrefix).append(name);
    char bytes[MessageInfoFile::kFileSize];
    switch (readPrefix(state.filePath.c_str(), bytes, sizeof bytes)) {
        case Read::Failed:
            return Outcome::Failed;
        case Read::Missing:  // removed since the folder was listed
        case Read::Short:
            return Outcome::Skipped;
        case Read::Ok:
            break;
    }
    const std::string_view view(bytes, sizeof bytes);
    record = FILESTS_INFO::fromBytes(view);
    if (MessageInfoFile::IsValidMessageData(path(state.filePath), record,
                                            HeaderBlock(view.substr(FILESTS_INFO::kSize))) != 1) {
        return Outcome::Skipped;
    }
    const std::u16string shown = CodePage::utf8ToUtf16(shownPath(name, state));
    if (shown.size() > kMaxPathChars) {
        return Outcome::Skipped;  // the list could not open a cut path
    }
    FILESTS_INFO::setText(record.filePath, shown);
    FILESTS_INFO::setText(record.boxNumber, StoreNames::boxNumber(name));
    FILESTS_INFO::setText(record.boxName, state.boxName);
    return Outcome::Listed;
}

// The voice file beside an information file, in whichever case its extension came; the
// information file itself (state.filePath) when there is none.
const std::string& MessageFolder::shownPath(std::string_view name, ScanState& state) {
    if (!name.ends_with(kInfoExt) || state.voiceFiles.empty()) {
        return state.filePath;
    }
    const std::string_view stem = name.substr(0, name.size() - kInfoExt.size());
    for (std::string_view extension : {".aac", ".AAC"}) {
        state.voicePath.assign(state.shownPrefix).append(stem).append(extension);
        const std::string_view voiceName =
            std::string_view(state.voicePath).substr(state.shownPrefix.size());
        if (state.voiceFiles.contains(voiceName)) {
            return state.voicePath;
        }
    }
    return state.filePath;
}

int MessageFolder::CountMessages(const path& folder) const {
    Listing listing;
    return CountMessages(folder, listing);
}

int MessageFolder::CountMessages(const path& folder, Listing& listing) const {
    try {
        listing.folder = folder;
        listing.complete = false;
        int count = 0;
        if (!countIn(folder, listing.names, count)) {
            return 0;
        }
        listing.complete = true;
        return count;
    } catch (...) {
        return 0;
    }
}

int MessageFolder::CountFolderTotal(const path& store) const {
    int total = 0;
    for (const path& box : StoreNames::boxFolders(store)) {
        total += CountMessages(box);
    }
    return total;
}

// One listing, kept in names.
bool MessageFolder::countIn(const path& folder, std::vector<std::string>& names, int& count) const {
    names.clear();
    return m_context.accessOk() && FileOps::listFileNames(folder, names) &&
           countListed(folder, names, count);
}

// The ".vmdat" names go into a set so that no file is looked up on disk.
bool MessageFolder::countListed(const path& folder, const std::vector<std::string>& names,
                                int& count) const {
    std::vector<std::string_view> considered;
    std::unordered_set<std::string_view> dataFiles;
    for (const std::string& name : names) {
        if (!m_context.accessOk()) {
            return false;
        }
        const bool data = contains(name, kDataExt);
        if (data) {
            dataFiles.emplace(name);
        }
        if (data || contains(name, kInfoExt)) {
            considered.emplace_back(name);
        }
    }
    count = 0;
    std::string twin;
    for (std::string_view name : considered) {
        if (!hasDataTwin(name, dataFiles, twin) && countsAsMessage(folder, name)) {
            ++count;
        }
    }
    return true;
}

bool MessageFolder::countsAsMessage(const path& folder, std::string_view name) const {
    if (!contains(folder.native(), kValidatedCountMarker)) {
        return true;
    }
    return MessageInfoFile(m_context).IsValidMessageFile(folder / name) == 1;
}

int MessageFolder::ReadFirstInfo(const path& folder, FILESTS_INFO& record) const {
    try {
        if (!m_context.accessOk()) {
            return store::kFailed;
        }
        for (std::string_view pattern : {"*.vminf", "*.vmdat"}) {
            const std::vector<std::string> names = FileOps::glob(folder, pattern);
            if (names.empty()) {
                continue;
            }
            char bytes[FILESTS_INFO::kSize];
            if (readPrefix((folder / names.front()).c_str(), bytes, sizeof bytes) != Read::Ok) {
                return store::kFailed;
            }
            record = FILESTS_INFO::fromBytes(std::string_view(bytes, sizeof bytes));
            return store::kDone;
        }
        return store::kFailed;
    } catch (...) {
        return store::kFailed;
    }
}

int MessageFolder::CheckExistingResponse(const path& folder, const std::string& newName,
                                         path& found) const {
    try {
        found.clear();
        const std::string incoming = path(newName).filename().string();
        const std::string part = numberPart(incoming);
        if (part.empty() || !m_context.accessOk()) {
            return kCheckFailed;
        }
        const std::vector<std::string> stored = FileOps::glob(folder, "*" + part + ".aac");
        if (stored.empty()) {
            return kNoneStored;
        }
        const std::string& name = stored.front();
        if (name.size() != kResponseVoiceNameLength) {
            return kOlderStored;
        }
        found = folder / name;
        return storedIsCurrent(name, incoming) ? kUpToDate : kOlderStored;
    } catch (...) {
        return kCheckFailed;
    }
}

int MessageFolder::RemoveOlderCopies(const path& folder, const std::string& newVoiceName) const {
    try {
        const std::string newVoice = path(newVoiceName).filename().string();
        const std::string part = numberPart(newVoice);
        if (part.empty() || !m_context.accessOk()) {
            return store::kFailed;
        }
        const std::string newInfo = StoreNames::stem(newVoice) + std::string(kInfoExt);
        const bool voices =
            removeOthers(folder, "*" + part + ".aac", kResponseVoiceNameLength, newVoice);
        const bool infos =
            removeOthers(folder, "*" + part + ".vminf", kResponseInfoNameLength, newInfo);
        return voices && infos ? store::kDone : store::kFailed;
    } catch (...) {
        return store::kFailed;
    }
}

int MessageFolder::StoreHoldsMessages(const path& store) const {
    try {
        if (!m_context.accessOk()) {
            return kNotListed;
        }
        bool anyBox = false;
        for (const path& kind : FileOps::subfolders(store)) {
            if (!isKindFolder(kind)) {
                continue;
            }
            for (const path& box : FileOps::subfolders(kind)) {
                anyBox = true;
                int count = 0;
                std::vector<std::string> names;
                if (!countIn(box, names, count)) {
                    return kNotListed;
                }
                if (count > 0) {
                    return kHoldsMessages;
                }
            }
        }
        return anyBox ? kBoxesEmpty : kNoBoxes;
    } catch (...) {
        return kNotListed;
    }
}

}  // namespace orven
