#include "store/MessageInfoFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <system_error>

#include "platform/CodePage.h"
#include "platform/FileIo.h"
#include "platform/FileOps.h"
#include "platform/InternetTime.h"
#include "platform/SystemClock.h"
#include "store/BoxInfo.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRecordSize = FILESTS_INFO::kSize;
// The date parser gets the date text without the last bytes of the zone, as it always has.
constexpr std::size_t kDateTextSize = 27;

// Runs the work of a public operation; nothing it throws (memory, conversions) gets out.
template <typename Result, typename Work>
Result guarded(Result failure, Work work) {
    try {
        return work();
    } catch (...) {
        return failure;
    }
}

// The whole file; nullopt when it cannot be read.
std::optional<std::string> readAll(const FileSystem& files, const fs::path& file) {
    ReadResult read = files.readWhole(file, FileIo::kNoLimit);
    return read.ok() ? std::optional<std::string>(std::move(read.bytes)) : std::nullopt;
}

bool isComplete(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    return !ec && size >= MessageInfoFile::kFileSize;
}

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), text.end() - tail.size(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The value of a text made only of decimal digits.
std::optional<int> digitsValue(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// Leading digits after blanks, 0 when there are none: how the box number field was always read.
int leadingNumber(std::string_view text) {
    const auto start = std::min(text.find_first_not_of(' '), text.size());
    const auto end = std::min(text.find_first_not_of("0123456789", start), text.size());
    return digitsValue(text.substr(start, std::min<std::size_t>(end - start, 9))).value_or(0);
}

// A name from another machine becomes a file in our folder only if it is nothing but a
// message file name of the folder's kind: no way up or out, nothing the shell would mangle.
bool isPlainMessageName(const std::string& name, const fs::path& folder) {
    if (name == "." || name == ".." || std::any_of(name.begin(), name.end(), [](unsigned char c) {
            return c < 0x20 || c == 0x7F || c == '/' || c == '\\';
        })) {
        return false;
    }
    return name.size() == (StoreNames::isResponsePath(folder) ? StoreNames::kResponseNameLength
                                                              : StoreNames::kBoxNameLength);
}

// Where the message of a header block is stored, or nullopt when it must not be stored.
std::optional<fs::path> infoPathFor(const HeaderBlock& block, const fs::path& destFolder,
                                    const DestinationMap* map) {
    std::string name = block.fileName();
    if (!endsWithNoCase(name, ".vminf") && !endsWithNoCase(name, ".vmdat")) {
        return std::nullopt;
    }
    fs::path folder = destFolder;
    if (map != nullptr) {
        name = trimmed(name);
        folder = map->LookupDestFolder(name);
    }
    // No folder (a map miss among them) must not become the working folder.
    if (folder.empty()) {
        return std::nullopt;
    }
    if (name.ends_with(".vmdat")) {
        name.replace(name.size() - 6, 6, ".vminf");
    }
    if (!endsWithNoCase(name, ".vminf") || !isPlainMessageName(name, folder)) {
        return std::nullopt;
    }
    return folder / (name.substr(0, name.size() - 6) + ".vminf");
}

// The record replaced, the rest of the file (the header block) kept as it is.
bool replaceRecord(const FileSystem& files, const fs::path& info, FILESTS_INFO& record) {
    const auto old = readAll(files, info);
    if (!old) {
        return false;
    }
    FILESTS_INFO::setText(record.boxName, BoxInfo::ReadBoxName(info.parent_path(), &files));
    const std::string rest = old->size() > kRecordSize ? old->substr(kRecordSize) : std::string();
    return FileIo::replaceAtomically(files, info, record.toBytes() + rest);
}

// A stored record renewed from the main unit's block: it keeps what only the PC sets (the
// user's mark, played, title, memo) and the header block it was stored with; the box name
// comes from the folder as in every rewrite.
std::optional<MessageInfoFile::PlannedInfo> renewed(const FileSystem& files, const fs::path& stored,
                                                    const fs::path& voice, FILESTS_INFO& record) {
    const auto old = readAll(files, stored);
    if (!old || old->size() < kRecordSize) {
        return std::nullopt;
    }
    const FILESTS_INFO kept = FILESTS_INFO::fromBytes(*old);
    record.mark = kept.mark;
    record.played = kept.played;
    std::copy(std::begin(kept.title), std::end(kept.title), record.title);
    std::copy(std::begin(kept.memo), std::end(kept.memo), record.memo);
    FILESTS_INFO::setText(record.boxName, BoxInfo::ReadBoxName(stored.parent_path(), &files));
    return MessageInfoFile::PlannedInfo{stored, voice, false,
                                        record.toBytes() + old->substr(kRecordSize)};
}

std::string dateText(const HeaderBlock& block) {
    std::string raw(block.bytes().substr(HeaderBlock::kDateAt, kDateTextSize));
    std::replace(raw.begin(), raw.end(), '\0', ' ');
    const std::optional<LocalTime> t = InternetTime::parse(CodePage::cp932ToUtf8(raw));
    if (!t) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", t->year, t->month, t->day, t->hour,
                  t->minute);
    return text;
}

std::string lengthText(std::uint32_t tenths) {
    const auto limit = [](std::int64_t value) { return std::clamp<std::int64_t>(value, 0, 99); };
    const std::int64_t s = tenths / 10;
    const std::int64_t hours = limit(s / 3600);
    const std::int64_t minutes = limit((s - hours * 3600) / 60);
    const std::int64_t seconds = limit(s - hours * 3600 - minutes * 60);
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(hours),
                  static_cast<int>(minutes), static_cast<int>(seconds));
    return text;
}

// The main unit writes the ideographic space as 0x80 0xF0; the PC's code page knows it as
// 0x81 0x40.
std::string callerNameBytes(const HeaderBlock& block) {
    std::string name = block.field(HeaderBlock::kCallerNameAt, HeaderBlock::kCallerNameSize);
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        if (name[i] == '\x80' && name[i + 1] == '\xF0') {
            name[i] = '\x81';
            name[i + 1] = '\x40';
            ++i;
        }
    }
    return name;
}

std::uint8_t downloadState(const HeaderBlock& block, bool voiceFollows) {
    if (!voiceFollows) {
        return 0;
    }
    return (block.flags() & HeaderBlock::kFlagPlayed) != 0 ? 1 : 2;
}

// The response number in the box field of a response message name, when it is 1 to 300.
std::optional<int> responseNumberOf(std::string_view name) {
    if (name.size() != StoreNames::kResponseNameLength) {
        return std::nullopt;
    }
    const std::optional<int> n = digitsValue(name.substr(name.size() - 14, 3));
    return n && *n >= 1 && *n <= 300 ? n : std::nullopt;
}

// A response message carries its number in the name, the record and twice in the block.
bool responseNumbersAgree(int n, const FILESTS_INFO& record, const HeaderBlock& block) {
    const auto blockDigits = digitsValue(block.bytes().substr(HeaderBlock::kBoxNumberAt, 3));
    return n == leadingNumber(FILESTS_INFO::text(record.boxNumber)) &&
           n == block.responseNumber() && blockDigits == n;
}

FILESTS_INFO recordOf(const HeaderBlock& block, bool voiceFollows) {
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    FILESTS_INFO::setText(record.recordingDate, dateText(block));
    record.downloadState = downloadState(block, voiceFollows);
    record.protect = (block.flags() & HeaderBlock::kFlagProtected) != 0 ? 1 : 0;
    FILESTS_INFO::setText(record.recordingLength, lengthText(block.lengthTenths()));
    FILESTS_INFO::setText(record.callerName, CodePage::cp932ToUtf16(callerNameBytes(block)));
    FILESTS_INFO::setText(record.callerNumber,
                          CodePage::cp932ToUtf16(block.field(HeaderBlock::kCallerNumberAt,
                                                             HeaderBlock::kCallerNumberSize)));
    FILESTS_INFO::setText(record.boxNumber,
                          CodePage::cp932ToUtf16(
                              block.field(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize)));
    return record;
}

}  // namespace

int MessageInfoFile::ReadInfo(const path& file, FILESTS_INFO& record) const {
    return guarded(store::kFailed, [&] {
        if (!m_context.accessOk()) {
            return store::kFailed;
        }
        const ReadResult head = FileIo::readHead(StoreNames::infoPath(file), kRecordSize);
        if (!head.ok() || head.bytes.size() < kRecordSize) {
            return store::kFailed;
        }
        record = FILESTS_INFO::fromBytes(head.bytes);
        return store::kDone;
    });
}

int MessageInfoFile::PrependInfo(const path& file, const FILESTS_INFO& record) const {
    return guarded(kPrependFailed, [&] {
        if (!m_context.accessOk()) {
            return kPrependFailed;
        }
        const path info = StoreNames::infoPath(file);
        const auto old = readAll(m_context.files(), info);
        if (!old) {
            return kPrependFailed;
        }
        return FileIo::replaceAtomically(m_context.files(), info, record.toBytes() + *old)
                   ? kPrepended
                   : kPrependFailed;
    });
}

int MessageInfoFile::WriteInfo(const path& file, FILESTS_INFO& record) const {
    return guarded(store::kFailed, [&] {
        if (!m_context.accessOk()) {
            return store::kFailed;
        }
        return replaceRecord(m_context.files(), StoreNames::infoPath(file), record)
                   ? store::kDone
                   : store::kFailed;
    });
}

int MessageInfoFile::RestampHeader(const path& file, const FILESTS_INFO& record) const {
    return guarded(store::kFailed, [&] {
        if (!m_context.accessOk()) {
            return store::kFailed;
        }
        const path info = StoreNames::infoPath(file);
        auto bytes = readAll(m_context.files(), info);
        if (!bytes || bytes->size() < kFileSize) {
            return store::kFailed;
        }
        std::string name = CodePage::utf8ToCp932(FILESTS_INFO::text(record.callerName));
        name.resize(HeaderBlock::kCallerNameSize, '\0');
        bytes->replace(kRecordSize + HeaderBlock::kCallerNameAt, name.size(), name);
        const LocalTime now = m_context.clock ? m_context.clock->now() : SystemClock().now();
        const std::string date = HeaderBlock::dateField(now);
        bytes->replace(kRecordSize + HeaderBlock::kDateAt, date.size(), date);
        return FileIo::replaceAtomically(m_context.files(), info, *bytes) ? store::kDone
                                                                          : store::kFailed;
    });
}

int MessageInfoFile::IsValidMessageFile(const path& file) const {
    return guarded(store::kNo, [&] {
        if (!m_context.accessOk()) {
            return store::kNo;
        }
        const ReadResult head = FileIo::readHead(file, kFileSize);
        if (!head.ok() || head.bytes.size() < kFileSize) {
            return store::kNo;
        }
        const std::string_view view(head.bytes);
        return IsValidMessageData(file, FILESTS_INFO::fromBytes(view),
                                  HeaderBlock(view.substr(kRecordSize)));
    });
}

int MessageInfoFile::IsValidMessageData(const path& file, const FILESTS_INFO& record,
                                        const HeaderBlock& block) {
    return guarded(store::kNo, [&] {
        const bool response = StoreNames::isResponsePath(file);
        const std::string name = file.filename().string();
        const std::optional<int> n = response ? responseNumberOf(name) : std::nullopt;
        if (response ? !n : name.size() != StoreNames::kBoxNameLength) {
            return store::kNo;
        }
        if (FILESTS_INFO::text(record.recordingLength).find(':') == std::string::npos ||
            !block.hasSignature()) {
            return store::kNo;
        }
        return !response || responseNumbersAgree(*n, record, block) ? store::kYes : store::kNo;
    });
}

int MessageInfoFile::FileExists(const path& file) {
    return guarded(store::kNo,
                   [&] { return FileOps::findAnyCase(file) ? store::kYes : store::kNo; });
}

std::string MessageInfoFile::StoreHeaderBlock(const HeaderBlock& block, const path& destFolder,
                                              bool voiceFollows, const DestinationMap* map) const {
    return guarded(std::string(), [&]() -> std::string {
        const std::optional<PlannedInfo> plan =
            planHeaderBlock(block, destFolder, voiceFollows, map);
        if (!plan) {
            return {};
        }
        if (plan->already) {
            return std::string(kAlready);
        }
        return FileIo::replaceAtomically(m_context.files(), plan->file, plan->bytes)
                   ? plan->file.string()
                   : std::string();
    });
}

std::optional<MessageInfoFile::PlannedInfo> MessageInfoFile::planHeaderBlock(
    const HeaderBlock& block, const path& destFolder, bool voiceFollows,
    const DestinationMap* map) const {
    return guarded(std::optional<PlannedInfo>(), [&]() -> std::optional<PlannedInfo> {
        if (!m_context.accessOk()) {
            return std::nullopt;
        }
        const std::optional<path> info = infoPathFor(block, destFolder, map);
        if (!info) {
            return std::nullopt;
        }
        const std::optional<path> stored = FileOps::findAnyCase(*info);
        const path voice = StoreNames::voicePath(*info);
        if (stored && FileOps::findAnyCase(voice)) {
            return PlannedInfo{*stored, voice, true, {}};
        }
        FILESTS_INFO record = RecordFromHeader(block, voiceFollows);
        // A stored record is renewed under its old header block; a file cut short by an
        // earlier crash has no block worth keeping and is written anew.
        if (stored && isComplete(*stored)) {
            return renewed(m_context.files(), *stored, voice, record);
        }
        return PlannedInfo{stored.value_or(*info), voice, false, record.toBytes() + block.str()};
    });
}

FILESTS_INFO MessageInfoFile::RecordFromHeader(const HeaderBlock& block, bool voiceFollows) {
    return guarded(FILESTS_INFO::zeroed(), [&] { return recordOf(block, voiceFollows); });
}

}  // namespace orven
