#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

// How a listing from the main unit is read, the same way everywhere. Texts are UTF-8;
// positions count characters, not bytes.
//
// A line of "NLST -l *.vmdat", once the dots are dropped, is read at fixed columns:
//   "-rw-r--r--   1 main unit  1234567 Jan 05 2024 202401050930_FRI_0101_00001vmdat"
//   characters 25-33: the size; with the dot put back, the last 45 characters are
//   "Mon DD YYYY " and the 33-character name.
class ListingLines {
  public:
    static constexpr std::size_t kNameLength = 33;
    static constexpr std::size_t kResponseNameLength = 32;
    static constexpr std::size_t kDateAndNameLength = 45;

    // Every LF, '*' and '.' is dropped; a CR ends a line; empty lines are skipped. Text after
    // the last CR is not a line: the main unit ends every line it sends.
    static std::vector<std::string> Cut(std::string_view listing);
    static int Count(std::string_view listing);

    // Characters 25 to 33 (from 1), leading blanks skipped, read as a decimal number up to
    // the first other character; 0 when there is none.
    static std::int64_t SizeField(std::string_view line);

    // The last `count` characters, or the whole line when it is shorter.
    static std::string LastCharacters(std::string_view line, std::size_t count);

    // Puts back the dot that cutting dropped: "vmdat" becomes ".vmdat", "vminf" ".vminf".
    static std::string PutDotsBack(std::string_view line);

    // The message file name a cut line shows (dot put back, blanks trimmed) when it is a
    // plain message name of its kind: letters, digits and "_" before ".vmdat" or ".vminf",
    // 33 characters in a box, 32 among the system response messages. Empty for any other
    // line: such a name is neither counted, nor asked for, nor taken for a stored message.
    static std::string MessageName(std::string_view line, bool response);

    // The name as a cut line shows it: its 28th character (the dot of a 33-character main
    // unit name) taken out. Shorter names come back unchanged.
    static std::string WithoutNameDot(std::string_view name);

    // Whole 4096-byte blocks with one block to spare: 8192 becomes 12288.
    static std::int64_t BlockRoundedSize(std::int64_t size);

    // "Jan" to "Nov" are 1 to 11; anything else is 12.
    static int MonthNumber(std::string_view abbreviation);
    // 1 to 12 give "Jan" to "Dec"; anything else "".
    static std::string_view MonthAbbreviation(int month);
    // 0 to 6 give "Sun" to "Sat" ("SUN" to "SAT" in upper case); anything else "".
    static std::string WeekdayAbbreviation(int weekday, bool upperCase);
};

}  // namespace orven
