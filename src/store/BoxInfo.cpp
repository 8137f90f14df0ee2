#include "store/BoxInfo.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

// The record's box name field holds 20 UTF-16 units; a surrogate pair is never split.
std::string cutToBoxNameChars(const std::string& utf8) {
    std::u16string text = CodePage::utf8ToUtf16(utf8);
    if (text.size() <= BoxInfo::kBoxNameChars) {
        return utf8;
    }
    std::size_t length = BoxInfo::kBoxNameChars;
    if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) {
        --length;
    }
    text.resize(length);
    return CodePage::utf16ToUtf8(text);
}

// Pieces between "/" without the empty ones, as the main unit's paths are split.
std::vector<std::string_view> pathPieces(std::string_view path) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            pieces.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

}  // namespace

ProfileFile BoxInfo::file(const path& folder, const FileSystem* files) {
    return ProfileFile(folder / std::string(StoreNames::kBoxInfoFile), ProfileFile::Encoding::Cp932,
                       FileIo::kDefaultMode, files);
}

std::string BoxInfo::ReadBoxName(const path& folder, const FileSystem* files) {
    try {
        return cutToBoxNameChars(file(folder, files).getString(kSection, kNameKey));
    } catch (...) {
        return {};
    }
}

int BoxInfo::GetBoxName(const path& folder, std::string& name) const {
    if (!m_context.accessOk()) {
        return store::kFailed;
    }
    name = ReadBoxName(folder, &m_context.files());
    return store::kDone;
}

int BoxInfo::SetBoxName(const path& folder, const std::string& name) const {
    if (!m_context.accessOk()) {
        return store::kFailed;
    }
    // A failed write keeps the previous value; callers go on as the profile functions allow.
    try {
        file(folder, &m_context.files()).writeString(kSection, kNameKey, "\"" + name + "\"");
    } catch (...) {
    }
    return store::kDone;
}

int BoxInfo::SetMakeState(const path& folder, const std::string& value) const {
    if (!m_context.accessOk()) {
        return store::kFailed;
    }
    try {
        file(folder, &m_context.files()).writeString(kSection, kMakeKey, value);
    } catch (...) {
    }
    return store::kDone;
}

int BoxInfo::GetMakeState(const path& folder) const {
    if (!m_context.accessOk()) {
        return kAccessFailed;
    }
    try {
        return file(folder, &m_context.files()).getInt(kSection, kMakeKey, 0);
    } catch (...) {
        return 0;
    }
}

int BoxInfo::IsMakePending(const path& folder) const {
    return GetMakeState(folder) == kMakePending ? store::kYes : store::kNo;
}

int BoxInfo::IsAutoDeleteBox(const ProfileFile& settings, const std::string& remoteBoxPath) {
    const std::string_view section = remoteBoxPath.find(StoreNames::kAnswering) != std::string::npos
                                         ? StoreNames::kAnswering
                                         : StoreNames::kExtension;
    const std::vector<std::string_view> pieces = pathPieces(remoteBoxPath);
    if (pieces.size() < 2) {
        return store::kNo;
    }
    try {
        return settings.getInt(section, pieces[1], 0) == 1 ? store::kYes : store::kNo;
    } catch (...) {
        return store::kNo;
    }
}

}  // namespace orven
