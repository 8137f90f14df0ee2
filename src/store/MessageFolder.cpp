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

enum class Step { Next, Enough, Fail };

// Offers every entry of the folder that is not a folder to visit. False when visit failed or
// the folder could not be listed; a folder that does not exist has no entries.
template <class Visit>
bool forEachFile(const fs::path& folder, Visit&& visit) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return ec == std::errc::no_such_file_or_directory;
    }
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            continue;
        }
        const Step step = visit(it->path());
        if (step != Step::Next) {
            return step == Step::Enough;
        }
    }
    return !ec;
}

std::vector<fs::path> subfoldersOf(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            found.push_back(it->path());
        }
    }
    return found;
}

enum class Read { Ok, Short, Missing, Failed };

// Reads the first size bytes. O_NONBLOCK keeps a stray fifo in a box folder from hanging the
// list; it changes nothing for regular files.
Read readPrefix(const fs::path& file, char* buffer, std::size_t size) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
bool hasDataTwin(const std::string& name, const std::unordered_set<std::string>& dataFiles) {
    const std::size_t at = name.find(kInfoExt);
    if (at == std::string::npos || dataFiles.empty()) {
        return false;
    }
    std::string twin = name;
    twin.replace(at, kInfoExt.size(), kDataExt);
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

// What one scan learns in its first pass and keeps for the second.
struct MessageFolder::ScanState {
    std::size_t infoFiles = 0;
    // The voice files as listed, so that finding one in either case costs no lookup on disk.
    std::unordered_set<std::string> voiceFiles;
    bool responseFolder = false;
    std::u16string boxName;
    std::string voiceName;  // reused, so that looking up a voice name allocates nothing
};

int MessageFolder::scan(std::vector<FILESTS_INFO>& records, const path& boxFolder) const {
    const ScanLock lock;
    ScanState state;
    if (!checkMessageFiles(boxFolder, state)) {
        return kScanFailed;
    }
    state.responseFolder = StoreNames::isResponsePath(boxFolder);
    state.boxName = CodePage::utf8ToUtf16(BoxInfo::ReadBoxName(boxFolder, &m_context.files()));
    std::vector<FILESTS_INFO> found;
    found.reserve(std::min(state.infoFiles, m_recordLimit));
    if (!collectRecords(boxFolder, state, found)) {
        return kScanFailed;
    }
    records = std::move(found);
    return kScanned;
}

// The first pass runs the access check for every message file before anything is read; it
// also notes the voice files and how many records to make room for.
bool MessageFolder::checkMessageFiles(const path& boxFolder, ScanState& state) const {
    return forEachFile(boxFolder, [&](const path& file) {
        const std::string_view name = nameOf(file);
        if (name.ends_with(".aac") || name.ends_with(".AAC")) {
            state.voiceFiles.emplace(name);
        }
        const bool info = contains(name, kInfoExt);
        if (!info && !contains(name, kDataExt)) {
            return Step::Next;
        }
        state.infoFiles += info ? 1 : 0;
        m_context.pump();
        return m_context.accessOk() ? Step::Next : Step::Fail;
    });
}

bool MessageFolder::collectRecords(const path& boxFolder, ScanState& state,
                                   std::vector<FILESTS_INFO>& found) const {
    return forEachFile(boxFolder, [&](const path& file) {
        if (found.size() >= m_recordLimit) {
            return Step::Enough;
        }
        const std::string_view name = nameOf(file);
        if (!contains(name, kInfoExt) && !contains(name, kVoiceExt)) {
            return Step::Next;
        }
        m_context.pump();
        if (!m_context.accessOk()) {
            return Step::Fail;
        }
        FILESTS_INFO record;
        const Outcome outcome = readRecord(file, state, record);
        if (outcome == Outcome::Listed) {
            found.push_back(record);
        }
        return outcome == Outcome::Failed ? Step::Fail : Step::Next;
    });
}

MessageFolder::Outcome MessageFolder::readRecord(const path& file, ScanState& state,
                                                 FILESTS_INFO& record) const {
    const std::string_view name = nameOf(file);
    // Only names of the message length pass the validation; others are not worth opening.
    if (!isCandidate(name, state.responseFolder)) {
        return Outcome::Skipped;
    }
    char bytes[MessageInfoFile::kFileSize];
    switch (readPrefix(file, bytes, sizeof bytes)) {
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
    if (MessageInfoFile::IsValidMessageData(file, record,
                                            HeaderBlock(view.substr(FILESTS_INFO::kSize))) != 1) {
        return Outcome::Skipped;
    }
    const std::u16string shown = CodePage::utf8ToUtf16(shownPath(file, state).native());
    if (shown.size() > kMaxPathChars) {
        return Outcome::Skipped;  // the list could not open a cut path
    }
    FILESTS_INFO::setText(record.filePath, shown);
    FILESTS_INFO::setText(record.boxNumber, StoreNames::boxNumber(name));
    FILESTS_INFO::setText(record.boxName, state.boxName);
    return Outcome::Listed;
}

// The voice file beside an information file, in whichever case its extension came; the
// information file itself when there is none.
MessageFolder::path MessageFolder::shownPath(const path& file, ScanState& state) {
    const std::string_view name = nameOf(file);
    if (!name.ends_with(kInfoExt) || state.voiceFiles.empty()) {
        return file;
    }
    for (std::string_view extension : {".aac", ".AAC"}) {
        state.voiceName.assign(name.substr(0, name.size() - kInfoExt.size())).append(extension);
        if (state.voiceFiles.contains(state.voiceName)) {
            return file.parent_path() / state.voiceName;
        }
    }
    return file;
}

int MessageFolder::CountMessages(const path& folder) const {
    try {
        int count = 0;
        return countIn(folder, count) ? count : 0;
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

// One listing; the ".vmdat" names go into a set so that no file is looked up on disk.
bool MessageFolder::countIn(const path& folder, int& count) const {
    if (!m_context.accessOk()) {
        return false;
    }
    std::vector<std::string> considered;
    std::unordered_set<std::string> dataFiles;
    const bool listed = forEachFile(folder, [&](const path& file) {
        if (!m_context.accessOk()) {
            return Step::Fail;
        }
        const std::string_view name = nameOf(file);
        const bool data = contains(name, kDataExt);
        if (data) {
            dataFiles.emplace(name);
        }
        if (data || contains(name, kInfoExt)) {
            considered.emplace_back(name);
        }
        return Step::Next;
    });
    if (!listed) {
        return false;
    }
    count = 0;
    for (const std::string& name : considered) {
        if (!hasDataTwin(name, dataFiles) && countsAsMessage(folder, name)) {
            ++count;
        }
    }
    return true;
}

bool MessageFolder::countsAsMessage(const path& folder, const std::string& name) const {
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
            if (readPrefix(folder / names.front(), bytes, sizeof bytes) != Read::Ok) {
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
        for (const path& kind : subfoldersOf(store)) {
            if (!isKindFolder(kind)) {
                continue;
            }
            for (const path& box : subfoldersOf(kind)) {
                anyBox = true;
                int count = 0;
                if (!countIn(box, count)) {
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
