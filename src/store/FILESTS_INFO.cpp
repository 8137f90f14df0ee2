#include "store/FILESTS_INFO.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"

namespace orven {

FILESTS_INFO FILESTS_INFO::zeroed() {
    FILESTS_INFO record;
    std::memset(&record, 0, sizeof record);
    return record;
}

std::string FILESTS_INFO::toBytes() const {
    return std::string(reinterpret_cast<const char*>(this), kSize);
}

FILESTS_INFO FILESTS_INFO::fromBytes(std::string_view bytes) {
    FILESTS_INFO record = zeroed();
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), kSize));
    return record;
}

std::string FILESTS_INFO::textOf(const char16_t* field, std::size_t size) {
    const char16_t* end = std::find(field, field + size, u'\0');
    return CodePage::utf16ToUtf8(std::u16string_view(field, end - field));
}

void FILESTS_INFO::setTextOf(char16_t* field, std::size_t size, std::string_view utf8) {
    setTextOf(field, size, CodePage::utf8ToUtf16(utf8));
}

void FILESTS_INFO::setTextOf(char16_t* field, std::size_t size, std::u16string_view text) {
    std::size_t length = std::min(text.size(), size - 1);
    if (length < text.size() && length > 0 && text[length - 1] >= 0xD800 &&
        text[length - 1] <= 0xDBFF) {
        --length;
    }
    std::fill(field, field + size, u'\0');
    std::copy(text.begin(), text.begin() + length, field);
}

}  // namespace orven
