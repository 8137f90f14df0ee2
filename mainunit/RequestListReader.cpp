#include "mainunit/RequestListReader.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "store/HeaderBlock.h"

namespace orven::mainunit {

std::optional<std::vector<std::string>> RequestListReader::parse(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || bytes.size() > kMaxBytes) {
        return std::nullopt;
    }
    const std::size_t count = HeaderBlock::readBigEndian32(bytes.substr(0, 4));
    if (count > kMaxNames || bytes.size() != kHeaderSize + kNameSize * count) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        auto one = name(bytes.substr(kHeaderSize + kNameSize * i, kNameSize));
        if (!one) {
            return std::nullopt;
        }
        names.push_back(std::move(*one));
    }
    return names;
}

std::optional<std::string> RequestListReader::name(std::string_view field) {
    field = field.substr(0, field.find('\0'));
    const auto first = field.find_first_not_of(" \t");
    const auto last = field.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    field = field.substr(first, last - first + 1);
    const bool bad = field.starts_with('.') || std::any_of(field.begin(), field.end(), [](char c) {
                         return static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\';
                     });
    if (bad) {
        return std::nullopt;
    }
    return CodePage::cp932ToUtf8(field);
}

}  // namespace orven::mainunit
