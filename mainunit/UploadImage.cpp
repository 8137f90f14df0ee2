#include "mainunit/UploadImage.h"

#include <algorithm>
#include <regex>

#include "store/HeaderBlock.h"

namespace orven::mainunit {

std::optional<UploadImage> UploadImage::parse(std::string_view bytes) {
    constexpr std::size_t kVoiceAt = HeaderBlock::kSize + 4;
    if (bytes.size() < kVoiceAt || bytes.size() > kMaxBytes) {
        return std::nullopt;
    }
    const std::size_t length = HeaderBlock::readBigEndian32(bytes.substr(HeaderBlock::kSize, 4));
    if (length == 0 || length > bytes.size() - kVoiceAt) {
        return std::nullopt;
    }
    const std::string_view rest = bytes.substr(kVoiceAt + length);
    if (std::any_of(rest.begin(), rest.end(), [](char c) { return c != '\0'; })) {
        return std::nullopt;
    }
    UploadImage image;
    image.m_header = std::string(bytes.substr(0, HeaderBlock::kSize));
    image.m_voice = std::string(bytes.substr(kVoiceAt, length));
    if (!HeaderBlock(image.m_header).hasSignature()) {
        return std::nullopt;
    }
    return image;
}

std::optional<int> UploadImage::responseNumber(std::string_view name) {
    static const std::regex pattern(R"(\d{12}_[A-Z]{3}_A(\d{3})_\d{4}\.vmdat)");
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_match(name.begin(), name.end(), match, pattern)) {
        return std::nullopt;
    }
    return std::stoi(match[1].str());
}

std::string UploadImage::dataFile() const {
    return m_header + HeaderBlock::bigEndian32(static_cast<std::uint32_t>(m_voice.size())) +
           m_voice;
}

}  // namespace orven::mainunit
