#include "store/HoldingFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/CodePage.h"
#include "platform/FileIo.h"
#include "platform/FileOps.h"

namespace fs = std::filesystem;

namespace orven {
namespace {

constexpr std::string_view kCountSection = "COUNT";
constexpr std::string_view kCountKey = "COUNT";
constexpr std::string_view kOrgPathKey = "OrgPath";
constexpr std::string_view kDstPathKey = "DstPath";
// What a missing key reads as: a value read from the record never holds a line break.
constexpr std::string_view kAbsent = "\n";

std::string sectionName(int number) {
    return "FOLDER" + std::to_string(number);
}

std::string holdingName(const std::string& name, unsigned random) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "_%05x", random & 0xFFFFu);
    return name + suffix;
}

HoldingFolder::Random clockSeeded() {
    const auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
    auto engine =
        std::make_shared<std::minstd_rand>(static_cast<std::minstd_rand::result_type>(seed));
    return [engine] { return static_cast<unsigned>((*engine)()); };
}

// The full path without a trailing separator, so that its last element is the folder's name.
fs::path fullPath(const fs::path& folder) {
    std::error_code ec;
    fs::path full = fs::absolute(folder, ec).lexically_normal();
    if (!full.has_filename() && full.has_relative_path()) {
        full = full.parent_path();
    }
    return full;
}

// A path the record can give back exactly: CP932 holds every character and no line break
// splits its line. (Blanks at the ends and quotes are kept by quoting, see recordValue.)
bool recordable(const std::string& value) {
    return value.find_first_of("\r\n") == std::string::npos &&
           CodePage::cp932ToUtf8(CodePage::utf8ToCp932(value)) == value;
}

// Reading trims blanks and drops one pair of quotes; quoting such a value keeps it whole.
std::string recordValue(const std::string& value) {
    const bool blankEnd = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                             value.back() == ' ' || value.back() == '\t');
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return (blankEnd || quoted) ? '"' + value + '"' : value;
}

bool present(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

enum class Move {
    Moved,
    CopiedOnly,  // across volumes: the copy is complete, the original was removed in part
    NotMoved,    // everything where it was
};

// Never onto something that is there already (the source itself included): no merge, no
// overwrite.
Move moveFolder(const fs::path& from, const fs::path& to) {
    if (!present(from) || present(to)) {
        return Move::NotMoved;
    }
    if (FileOps::moveRecursive(from, to)) {
        return Move::Moved;
    }
    // A failed copy is removed again, so a target that is there holds the whole folder.
    return present(to) ? Move::CopiedOnly : Move::NotMoved;
}

int clampedCount(int count) {
    return std::clamp(count, 0, HoldingFolder::kMaxSections);
}

}  // namespace

HoldingFolder::HoldingFolder(const StoreContext& context, path holding, Random random)
    : m_context(context),
      m_holding(std::move(holding)),
      m_random(random ? std::move(random) : clockSeeded()) {}

ProfileFile HoldingFolder::record() const {
    return ProfileFile(recordPath(), ProfileFile::Encoding::Cp932, FileIo::kDefaultMode,
                       &m_context.files());
}

HoldingFolder::Result HoldingFolder::hold(const path& folder) {
    const path original = fullPath(folder);
    const std::string name = original.filename().string();
    if (name.empty() || !present(original) || !ensureHolding()) {
        return Result::NotMoved;
    }
    if (record().getInt(kCountSection, kCountKey, 0) >= kMaxSections) {
        return Result::NotMoved;
    }
    const std::optional<path> kept = freeHoldingPath(name);
    if (!kept || !recordable(original.string()) || !recordable(kept->string())) {
        return Result::NotMoved;
    }
    return keep(original, *kept);
}

HoldingFolder::Result HoldingFolder::keep(const path& folder, const path& kept) {
    const Move moved = moveFolder(folder, kept);
    if (moved == Move::NotMoved) {
        return Result::NotMoved;
    }
    const bool recorded = addSection(folder, kept);
    if (moved == Move::CopiedOnly) {
        return recorded ? Result::NotMoved : Result::RecordFailed;
    }
    if (recorded) {
        return Result::Done;
    }
    // A kept folder nobody can find again is as good as lost: put it back.
    return moveFolder(kept, folder) == Move::Moved ? Result::NotMoved : Result::RecordFailed;
}

bool HoldingFolder::ensureHolding() const {
    std::error_code ec;
    if (fs::is_directory(m_holding, ec)) {
        return true;
    }
    fs::create_directories(m_holding, ec);
    return !ec && fs::is_directory(m_holding, ec) && record().writeInt(kCountSection, kCountKey, 0);
}

std::optional<HoldingFolder::path> HoldingFolder::freeHoldingPath(const std::string& name) const {
    for (int i = 0; i < kNameTries; ++i) {
        path candidate = m_holding / holdingName(name, m_random());
        if (!present(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool HoldingFolder::addSection(const path& folder, const path& kept) const {
    ProfileFile file = record();
    const int number = std::max(file.getInt(kCountSection, kCountKey, 0), 0) + 1;
    const std::string section = sectionName(number);
    return file.writeString(section, kOrgPathKey, recordValue(folder.string())) &&
           file.writeString(section, kDstPathKey, recordValue(kept.string())) &&
           file.writeInt(kCountSection, kCountKey, number);
}

std::vector<HoldingFolder::Entry> HoldingFolder::entries() const {
    const ProfileFile file = record();
    const int count = clampedCount(file.getInt(kCountSection, kCountKey, 0));
    std::vector<Entry> found;
    for (int number = 1; number <= count; ++number) {
        const std::string section = sectionName(number);
        std::string orgPath = file.getString(section, kOrgPathKey);
        if (!orgPath.empty()) {
            found.push_back({number, std::move(orgPath), file.getString(section, kDstPathKey)});
        }
    }
    return found;
}

std::vector<HoldingFolder::Entry> HoldingFolder::recordedSections() const {
    const ProfileFile file = record();
    std::vector<Entry> found;
    for (int number = 1; number <= kMaxSections; ++number) {
        const std::string section = sectionName(number);
        std::string orgPath = file.getString(section, kOrgPathKey, kAbsent);
        std::string dstPath = file.getString(section, kDstPathKey, kAbsent);
        if (orgPath != kAbsent && dstPath != kAbsent) {
            found.push_back({number, std::move(orgPath), std::move(dstPath)});
        }
    }
    return found;
}

HoldingFolder::Result HoldingFolder::restore(const Entry& entry) {
    std::vector<Entry> sections = recordedSections();
    const auto samePaths = [&entry](const Entry& e) {
        return e.orgPath == entry.orgPath && e.dstPath == entry.dstPath;
    };
    auto found = std::find_if(sections.begin(), sections.end(), [&](const Entry& e) {
        return e.section == entry.section && samePaths(e);
    });
    if (found == sections.end()) {
        found = std::find_if(sections.begin(), sections.end(), samePaths);
    }
    // An empty path is no place to move to; a missing folder above the old place is not made
    // up, so nothing lands on a volume that is not mounted.
    const path original(entry.orgPath);
    if (found == sections.end() || entry.orgPath.empty() ||
        !fs::is_directory(original.parent_path())) {
        return Result::NotMoved;
    }
    const Move moved = moveFolder(entry.dstPath, original);
    if (moved == Move::NotMoved) {
        return Result::NotMoved;
    }
    sections.erase(found);
    const int count = std::max(record().getInt(kCountSection, kCountKey, 0) - 1, 0);
    if (!rewrite(count, sections)) {
        return Result::RecordFailed;
    }
    return moved == Move::Moved ? Result::Done : Result::NotMoved;
}

bool HoldingFolder::rewrite(int count, const std::vector<Entry>& sections) const {
    // ProfileFile cannot remove a section, so the record is written whole, in its own form.
    std::string text = "[" + std::string(kCountSection) + "]\r\n" + std::string(kCountKey) + "=" +
                       std::to_string(count) + "\r\n";
    int number = 0;
    for (const Entry& entry : sections) {
        text += "[" + sectionName(++number) + "]\r\n";
        text += std::string(kOrgPathKey) + "=" + recordValue(entry.orgPath) + "\r\n";
        text += std::string(kDstPathKey) + "=" + recordValue(entry.dstPath) + "\r\n";
    }
    return FileIo::replaceAtomically(m_context.files(), recordPath(), CodePage::utf8ToCp932(text),
                                     FileIo::kDefaultMode);
}

}  // namespace orven
