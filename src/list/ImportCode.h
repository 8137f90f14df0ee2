#pragma once

#include <cstdint>
#include <string_view>

namespace orven {

// How a message came into the store, as the 取込 column shows it: a code 0 to 3 written as
// "   0   " .. "   3   ". The cell's digit is what the tooltip, the picture and the CSV export
// read back, so they agree with the cell whatever the stored value was.
class ImportCode {
  public:
    static constexpr int kCodes = 4;

    // Stored download state 2 -> 0, 1 -> 1, 0 -> 2, anything else -> 3.
    static int codeOf(std::uint8_t downloadState);
    static std::u16string_view cellText(std::uint8_t downloadState);
    // The number a cell holds, read as an integer after leading blanks (0 when none).
    static int parse(std::u16string_view cell);
    // Texts of a code; empty for a number that is no code.
    static std::string_view tooltip(int code);
    static std::string_view shortText(int code);
};

}  // namespace orven
