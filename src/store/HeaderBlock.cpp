#include "store/HeaderBlock.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/CodePage.h"

namespace orven {
namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void put(std::string& field, std::size_t at, const std::string& text) {
    field.replace(at, text.size(), text);
}

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace

HeaderBlock::HeaderBlock(std::string_view bytes) {
    m_bytes.fill(0);
    std::memcpy(m_bytes.data(), bytes.data(), std::min(bytes.size(), kSize));
}

std::string HeaderBlock::fileName() const {
    std::string raw(bytes().substr(kNameAt, kNameSize));
    std::replace(raw.begin(), raw.end(), '\0', ' ');
    std::string name = CodePage::cp932ToUtf8(raw);
    const auto last = name.find_last_not_of(" \t\r\n");
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

bool HeaderBlock::hasSignature() const {
    return bytes().substr(kSignatureAt, kSignature.size()) == kSignature;
}

std::string HeaderBlock::field(std::size_t at, std::size_t size) const {
    const std::string_view raw = bytes().substr(at, size);
    return std::string(raw.substr(0, raw.find('\0')));
}

void HeaderBlock::setFileName(std::string_view utf8) {
    setField(kNameAt, kNameSize, CodePage::utf8ToCp932(utf8));
}

void HeaderBlock::setSignature() {
    setField(kSignatureAt, kSignature.size(), kSignature);
}

void HeaderBlock::setDate(const LocalTime& time) {
    setField(kDateAt, kDateSize, dateField(time));
}

void HeaderBlock::setField(std::size_t at, std::size_t size, std::string_view rawBytes) {
    std::fill(m_bytes.begin() + at, m_bytes.begin() + at + size, 0);
    std::memcpy(m_bytes.data() + at, rawBytes.data(), std::min(rawBytes.size(), size));
}

std::string HeaderBlock::dateField(const LocalTime& time) {
    std::string field(kDateSize, '\0');
    const LocalTime t = LocalTime::make(time.year, time.month, time.day, time.hour, time.minute);
    put(field, 0, std::string(kWeekdays[t.dayOfWeek]) + ",");
    put(field, 5, twoDigits(t.day));
    put(field, 8, kMonths[t.month - 1]);
    char year[16];
    std::snprintf(year, sizeof year, "%04d", t.year % 10000);
    put(field, 12, year);
    put(field, 17, twoDigits(t.hour) + ":" + twoDigits(t.minute));
    put(field, 23, "+0900");
    return field;
}

std::uint32_t HeaderBlock::readBigEndian32(std::string_view fourBytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < fourBytes.size(); ++i) {
        value = (value << 8) | static_cast<std::uint8_t>(fourBytes[i]);
    }
    return value;
}

std::string HeaderBlock::bigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::uint32_t HeaderBlock::read32(std::size_t at) const {
    return readBigEndian32(bytes().substr(at, 4));
}

std::uint16_t HeaderBlock::read16(std::size_t at) const {
    return static_cast<std::uint16_t>((m_bytes[at] << 8) | m_bytes[at + 1]);
}

void HeaderBlock::write32(std::size_t at, std::uint32_t value) {
    setField(at, 4, bigEndian32(value));
}

void HeaderBlock::write16(std::size_t at, std::uint16_t value) {
    m_bytes[at] = static_cast<std::uint8_t>(value >> 8);
    m_bytes[at + 1] = static_cast<std::uint8_t>(value);
}

}  // namespace orven
