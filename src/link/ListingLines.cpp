#include "link/ListingLines.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace orven {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::size_t kSizeColumn = 24;  // 0-based start of characters 25 to 33
constexpr std::size_t kSizeWidth = 9;
constexpr std::size_t kNameDotAt = 27;
constexpr std::int64_t kBlock = 4096;
constexpr std::size_t kExtensionLength = 6;  // ".vmdat", ".vminf"

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Byte offset of the character with that 0-based index; the text's size when there are fewer.
std::size_t offsetOf(std::string_view text, std::size_t index) {
    std::size_t seen = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (startsCharacter(text[at]) && seen++ == index) {
            return at;
        }
    }
    return text.size();
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char byte : text) {
        count += startsCharacter(byte) ? 1 : 0;
    }
    return count;
}

std::string substring(std::string_view text, std::size_t first, std::size_t count) {
    const std::size_t from = offsetOf(text, first);
    const std::size_t to = offsetOf(text, first + count);
    return std::string(text.substr(from, to - from));
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::vector<std::string> ListingLines::Cut(std::string_view listing) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : listing) {
        if (c == '\r') {
            if (!line.empty()) {
                lines.push_back(std::move(line));
            }
            line.clear();
        } else if (c != '\n' && c != '*' && c != '.') {
            line.push_back(c);
        }
    }
    return lines;
}

int ListingLines::Count(std::string_view listing) {
    return static_cast<int>(Cut(listing).size());
}

std::int64_t ListingLines::SizeField(std::string_view line) {
    const std::string field = substring(line, kSizeColumn, kSizeWidth);
    std::size_t at = field.find_first_not_of(' ');
    std::int64_t size = 0;
    for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) {
        size = size * 10 + (field[at] - '0');
    }
    return size;
}

std::string ListingLines::LastCharacters(std::string_view line, std::size_t count) {
    const std::size_t length = characterCount(line);
    return length <= count ? std::string(line) : substring(line, length - count, count);
}

std::string ListingLines::PutDotsBack(std::string_view line) {
    std::string text(line);
    replaceAll(text, "vmdat", ".vmdat");
    replaceAll(text, "vminf", ".vminf");
    return text;
}

std::string ListingLines::MessageName(std::string_view line, bool response) {
    if (line.find("vmdat") == std::string_view::npos &&
        line.find("vminf") == std::string_view::npos) {
        return {};
    }
    // The last word, not the last 33 characters: those of a longer name would pass for a
    // message that the main unit does not have.
    std::string name = PutDotsBack(line);
    name.erase(name.find_last_not_of(' ') + 1);
    name.erase(0, name.find_last_of(' ') + 1);
    const std::size_t length = response ? kResponseNameLength : kNameLength;
    if (name.size() != length) {
        return {};
    }
    const std::string_view extension = std::string_view(name).substr(length - kExtensionLength);
    const std::string_view stem = std::string_view(name).substr(0, length - kExtensionLength);
    const bool plainStem = std::all_of(stem.begin(), stem.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
    });
    return plainStem && (extension == ".vmdat" || extension == ".vminf") ? name : std::string();
}

std::string ListingLines::WithoutNameDot(std::string_view name) {
    if (characterCount(name) <= kNameDotAt) {
        return std::string(name);
    }
    return substring(name, 0, kNameDotAt) + substring(name, kNameDotAt + 1, characterCount(name));
}

std::int64_t ListingLines::BlockRoundedSize(std::int64_t size) {
    return (size / kBlock + 1) * kBlock;
}

int ListingLines::MonthNumber(std::string_view abbreviation) {
    for (std::size_t month = 0; month + 1 < kMonths.size(); ++month) {
        if (abbreviation == kMonths[month]) {
            return static_cast<int>(month) + 1;
        }
    }
    return 12;
}

std::string_view ListingLines::MonthAbbreviation(int month) {
    return month >= 1 && month <= 12 ? kMonths[static_cast<std::size_t>(month - 1)] : "";
}

std::string ListingLines::WeekdayAbbreviation(int weekday, bool upperCase) {
    if (weekday < 0 || weekday > 6) {
        return {};
    }
    std::string text(kWeekdays[static_cast<std::size_t>(weekday)]);
    if (upperCase) {
        for (char& c : text) {
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
    }
    return text;
}

}  // namespace orven
