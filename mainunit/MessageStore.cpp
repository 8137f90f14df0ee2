#include "mainunit/MessageStore.h"

#include <fstream>
#include <iterator>

#include "mainunit/ServedTree.h"
#include "mainunit/UploadImage.h"
#include "platform/FileOps.h"
#include "store/HeaderBlock.h"
#include "store/StoreNames.h"

namespace fs = std::filesystem;

namespace orven::mainunit {
namespace {

constexpr std::string_view kInfo = ".vminf";
constexpr std::string_view kData = ".vmdat";
constexpr std::string_view kResponseFolder = "/outou";

std::optional<std::string> readFile(const fs::path& path, std::size_t atMost = SIZE_MAX) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < atMost && in.read(buffer, sizeof buffer).gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return bytes.substr(0, std::min(bytes.size(), atMost));
}

bool isRegular(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

}  // namespace

MessageStore::MessageStore(const ServedTree& tree, int maxResponseMessages)
    : m_tree(tree), m_maxResponseMessages(maxResponseMessages) {}

bool MessageStore::isMessageFile(std::string_view name) {
    return name.ends_with(kInfo) || name.ends_with(kData);
}

std::string MessageStore::stemPathOf(std::string_view virtualPath) {
    if (isMessageFile(virtualPath)) {
        virtualPath.remove_suffix(kInfo.size());
    }
    return std::string(virtualPath);
}

std::optional<fs::path> MessageStore::file(std::string_view stemPath,
                                           std::string_view extension) const {
    return m_tree.real(std::string(stemPath) + std::string(extension));
}

bool MessageStore::exists(std::string_view stemPath) const {
    const auto info = file(stemPath, kInfo);
    const auto data = file(stemPath, kData);
    return (info && isRegular(*info)) || (data && isRegular(*data));
}

void MessageStore::setInUse(std::string_view virtualPath, bool inUse) {
    const std::lock_guard lock(m_mutex);
    const std::string stem = stemPathOf(virtualPath);
    if (inUse) {
        m_inUse.insert(stem);
    } else {
        m_inUse.erase(stem);
    }
}

bool MessageStore::isInUse(std::string_view stemPath) const {
    const std::lock_guard lock(m_mutex);
    return isInUseUnlocked(stemPath);
}

bool MessageStore::isInUseUnlocked(std::string_view stemPath) const {
    return m_inUse.find(stemPath) != m_inUse.end();
}

bool MessageStore::setProtected(std::string_view virtualPath, bool isProtected) {
    const std::lock_guard lock(m_mutex);
    const std::string stem = stemPathOf(virtualPath);
    bool changed = false;
    for (const std::string_view extension : {kInfo, kData}) {
        const auto path = file(stem, extension);
        auto bytes = path ? readFile(*path) : std::nullopt;
        if (!bytes || bytes->size() < HeaderBlock::kSize) {
            continue;
        }
        char& flags = (*bytes)[HeaderBlock::kFlagsAt];
        flags = static_cast<char>(isProtected ? (flags | HeaderBlock::kFlagProtected)
                                              : (flags & ~HeaderBlock::kFlagProtected));
        changed = FileOps::replaceFileAtomically(*path, *bytes) || changed;
    }
    return changed;
}

// The information file says it first; a message that lost it still has the block in its
// data file.
bool MessageStore::isProtectedUnlocked(std::string_view stemPath) const {
    for (const std::string_view extension : {kInfo, kData}) {
        const auto path = file(stemPath, extension);
        const auto head = path ? readFile(*path, HeaderBlock::kSize) : std::nullopt;
        if (head && head->size() == HeaderBlock::kSize) {
            return (HeaderBlock(*head).flags() & HeaderBlock::kFlagProtected) != 0;
        }
    }
    return false;
}

MessageStore::Removal MessageStore::remove(std::string_view stemPath) {
    const std::lock_guard lock(m_mutex);
    if (!exists(stemPath)) {
        return Removal::Missing;
    }
    if (isInUseUnlocked(stemPath)) {
        return Removal::InUse;
    }
    if (isProtectedUnlocked(stemPath)) {
        return Removal::Protected;
    }
    removeFiles(stemPath);
    return Removal::Deleted;
}

void MessageStore::removeFiles(std::string_view stemPath) {
    for (const std::string_view extension : {kData, kInfo}) {
        if (const auto path = file(stemPath, extension)) {
            std::error_code ec;
            fs::remove(*path, ec);
        }
    }
}

std::optional<MessageStore::FileRange> MessageStore::bundleEntry(std::string_view stemPath,
                                                                 bool voice) const {
    const std::lock_guard lock(m_mutex);
    const auto path = file(stemPath, voice ? kData : kInfo);
    std::error_code ec;
    const std::uint64_t size = path && isRegular(*path) ? fs::file_size(*path, ec) : 0;
    if (ec || size < HeaderBlock::kSize) {
        return std::nullopt;
    }
    if (!voice) {
        return FileRange{*path, HeaderBlock::kSize};
    }
    const auto head = readFile(*path, HeaderBlock::kSize + 4);
    if (!head || head->size() < HeaderBlock::kSize + 4) {
        return std::nullopt;
    }
    const std::uint64_t end =
        HeaderBlock::kSize + 4 + HeaderBlock::readBigEndian32(head->substr(HeaderBlock::kSize));
    if (end > size) {
        return std::nullopt;
    }
    return FileRange{*path, end};
}

std::vector<std::string> MessageStore::messagesIn(std::string_view folder) const {
    const auto real = m_tree.real(folder);
    if (!real) {
        return {};
    }
    std::set<std::string> stems;
    std::error_code ec;
    for (fs::directory_iterator it(*real, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (isMessageFile(name) && !name.starts_with('.')) {
            stems.insert(ServedTree::join(folder, stemPathOf(name)));
        }
    }
    return {stems.begin(), stems.end()};
}

// Stem paths of the stored response messages with that number (any number when negative).
std::vector<std::string> MessageStore::responseStems(int number) const {
    std::vector<std::string> stems = messagesIn(kResponseFolder);
    std::erase_if(stems, [number](const std::string& stem) {
        const auto found =
            UploadImage::responseNumber(ServedTree::nameOf(stem) + std::string(kData));
        return !found || (number >= 0 && *found != number);
    });
    return stems;
}

MessageStore::UploadVerdict MessageStore::judgeUpload(std::string_view name) const {
    const std::lock_guard lock(m_mutex);
    return judgeUnlocked(name);
}

MessageStore::UploadVerdict MessageStore::judgeUnlocked(std::string_view name) const {
    const auto number = UploadImage::responseNumber(name);
    if (!number) {
        return UploadVerdict::Failed;
    }
    const std::vector<std::string> same = responseStems(*number);
    const std::string moment = StoreNames::stemMoment(name);
    for (const std::string& stem : same) {
        if (isInUseUnlocked(stem)) {
            return UploadVerdict::InUse;
        }
        if (StoreNames::stemMoment(ServedTree::nameOf(stem)) > moment) {
            return UploadVerdict::Older;
        }
    }
    if (isInUseUnlocked(ServedTree::join(kResponseFolder, stemPathOf(name)))) {
        return UploadVerdict::InUse;
    }
    const bool full = static_cast<int>(responseStems(-1).size()) >= m_maxResponseMessages;
    return same.empty() && full ? UploadVerdict::Full : UploadVerdict::Accepted;
}

// Each file is written under a temporary name and renamed when complete; the older message
// of the number goes only once the new one is in place.
MessageStore::UploadVerdict MessageStore::storeUpload(std::string_view name,
                                                      const UploadImage& image) {
    const std::lock_guard lock(m_mutex);
    const UploadVerdict verdict = judgeUnlocked(name);
    if (verdict != UploadVerdict::Accepted) {
        return verdict;
    }
    const std::string stem = ServedTree::join(kResponseFolder, stemPathOf(name));
    HeaderBlock header(image.header());
    header.setFileName(name);
    const auto data = file(stem, kData);
    const auto info = file(stem, kInfo);
    const std::string dataBytes = header.str() + image.dataFile().substr(HeaderBlock::kSize);
    if (!data || !info || !FileOps::replaceFileAtomically(*data, dataBytes) ||
        !FileOps::replaceFileAtomically(*info, header.str())) {
        return UploadVerdict::Failed;
    }
    for (const std::string& older : responseStems(*UploadImage::responseNumber(name))) {
        if (older != stem) {
            removeFiles(older);
        }
    }
    return UploadVerdict::Accepted;
}

}  // namespace orven::mainunit
