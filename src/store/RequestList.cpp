#include "store/RequestList.h"

#include <system_error>

#include "platform/CodePage.h"
#include "platform/FileIo.h"
#include "platform/FileOps.h"
#include "platform/SystemClock.h"
#include "store/HeaderBlock.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

std::string trimmed(const std::string& text) {
    constexpr const char* kBlanks = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool isRequestListName(const std::string& name) {
    return name.find(".infco") != std::string::npos || name.find(".datco") != std::string::npos;
}

}  // namespace

std::string RequestList::encode(const std::vector<std::string>& names) {
    std::string bytes = HeaderBlock::bigEndian32(static_cast<std::uint32_t>(names.size()));
    bytes.resize(kHeadSize, '\0');
    for (const std::string& name : names) {
        std::string field = CodePage::utf8ToCp932(trimmed(name));
        if (field.size() >= kFieldSize) {
            return {};
        }
        field.resize(kFieldSize, '\0');
        bytes += field;
    }
    return bytes;
}

RequestList::path RequestList::WriteRequestList(const StoreContext& context,
                                                const std::vector<std::string>& names,
                                                const path& folder, bool voice) {
    try {
        if (!context.accessOk()) {
            return {};
        }
        const std::string bytes = encode(names);
        if (bytes.empty()) {
            return {};
        }
        static const SystemClock systemClock;
        const Clock& clock = context.clock != nullptr ? *context.clock : systemClock;
        const path file = StoreNames::requestListPath(folder, clock.now(), voice);
        // Written beside and renamed into place, so a failed write leaves no half list.
        return FileIo::replaceAtomically(context.files(), file, bytes) ? file : path();
    } catch (...) {
        return {};
    }
}

int RequestList::DeleteRequestLists(const path& anyPathInsideFolder) {
    try {
        const path folder = anyPathInsideFolder.parent_path();
        if (folder.empty()) {
            return store::kFailed;
        }
        for (const std::string& name : FileOps::glob(folder, "*.*co")) {
            std::error_code ec;
            if (isRequestListName(name) && std::filesystem::is_regular_file(folder / name, ec)) {
                std::filesystem::remove(folder / name, ec);
            }
        }
        return store::kDone;
    } catch (...) {
        return store::kFailed;
    }
}

}  // namespace orven
