#include "platform/InternetTime.h"

#include <array>
#include <cstddef>

namespace orven {

namespace {

constexpr std::array<std::string_view, 7> kWeekdays = {"sun", "mon", "tue", "wed",
                                                       "thu", "fri", "sat"};
constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

// Not one of the names, or not a number of the wanted length.
constexpr int kNone = -1;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\0';
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Index of a three-letter name in the table, ignoring case; -1 when it is not there.
template <std::size_t N>
int findName(const std::array<std::string_view, N>& names, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::string_view name = names[i];
        if (word.size() == name.size() && lower(word[0]) == name[0] && lower(word[1]) == name[1] &&
            lower(word[2]) == name[2]) {
            return static_cast<int>(i);
        }
    }
    return kNone;
}

// A cursor over the text that never steps past its end.
class Scanner {
  public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    // At the end: a character that no rule accepts.
    char peek() const { return atEnd() ? '\x01' : m_text[m_pos]; }

    // True when at least one separator was skipped.
    bool skipSeparators() {
        const std::size_t start = m_pos;
        while (!atEnd() && isSeparator(m_text[m_pos])) {
            ++m_pos;
        }
        return m_pos > start;
    }

    bool consume(char c) {
        if (peek() != c) {
            return false;
        }
        ++m_pos;
        return true;
    }

    std::string_view letters() { return take(isLetter); }
    std::string_view digits() { return take(isDigit); }

    // A decimal number of minDigits to maxDigits digits; kNone otherwise.
    int number(std::size_t minDigits, std::size_t maxDigits) {
        const std::string_view d = digits();
        if (d.size() < minDigits || d.size() > maxDigits) {
            return kNone;
        }
        int value = 0;
        for (char c : d) {
            value = value * 10 + (c - '0');
        }
        return value;
    }

  private:
    std::string_view take(bool (*accept)(char)) {
        const std::size_t start = m_pos;
        while (!atEnd() && accept(m_text[m_pos])) {
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// "Sun," or "Sun " when the text starts with a name; true when there is none.
bool skipWeekday(Scanner& in) {
    if (!isLetter(in.peek())) {
        return true;
    }
    if (findName(kWeekdays, in.letters()) < 0) {
        return false;
    }
    const bool separated = in.skipSeparators();
    if (in.consume(',')) {
        in.skipSeparators();
        return true;
    }
    return separated;
}

bool readDate(Scanner& in, LocalTime& t) {
    t.day = in.number(1, 2);
    if (t.day < 0 || !in.skipSeparators()) {
        return false;
    }
    t.month = findName(kMonths, in.letters()) + 1;
    if (t.month < 1 || !in.skipSeparators()) {
        return false;
    }
    t.year = in.number(4, 4);
    return t.year >= 1601 && t.day >= 1 && t.day <= LocalTime::daysInMonth(t.year, t.month);
}

bool readTime(Scanner& in, LocalTime& t) {
    t.hour = in.number(1, 2);
    if (t.hour < 0 || !in.consume(':')) {
        return false;
    }
    t.minute = in.number(1, 2);
    t.second = in.consume(':') ? in.number(1, 2) : 0;
    return t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// A numeric offset ("+0900", possibly cut short) or a zone name ("GMT", "JST"); the zone is
// only recognised, never applied.
bool skipZone(Scanner& in) {
    if (in.consume('+') || in.consume('-')) {
        return in.digits().size() <= 4;
    }
    const std::size_t length = in.letters().size();
    return length >= 1 && length <= 5;
}

// What may follow the time: nothing, or separators and one zone, then separators.
bool readTail(Scanner& in) {
    const bool separated = in.skipSeparators();
    if (in.atEnd()) {
        return true;
    }
    if (!separated || !skipZone(in)) {
        return false;
    }
    in.skipSeparators();
    return in.atEnd();
}

}  // namespace

std::optional<LocalTime> InternetTime::parse(std::string_view text) {
    Scanner in(text);
    LocalTime t;
    in.skipSeparators();
    if (!skipWeekday(in) || !readDate(in, t) || !in.skipSeparators() || !readTime(in, t) ||
        !readTail(in)) {
        return std::nullopt;
    }
    t.dayOfWeek = LocalTime::dayOfWeekOf(t.year, t.month, t.day);
    return t;
}

}  // namespace orven
