#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orven {

// The PC's ANSI code page is CP932 (Windows-31J): the main unit's files, listings and the
// CSV files use it, and byte limits of text fields are counted in it.
class CodePage {
  public:
    // Bytes that are not valid CP932 become U+FFFD; the conversion never fails.
    static std::u16string cp932ToUtf16(std::string_view bytes);
    static std::string cp932ToUtf8(std::string_view bytes);

    // Characters CP932 cannot hold become '?', as the Windows conversion does.
    static std::string utf16ToCp932(std::u16string_view text);
    static std::string utf8ToCp932(std::string_view text);

    // Invalid UTF-8 becomes U+FFFD; an unpaired surrogate becomes U+FFFD.
    static std::u16string utf8ToUtf16(std::string_view text);
    static std::string utf16ToUtf8(std::u16string_view text);

    // Length of the text once converted to CP932.
    static std::size_t cp932Length(std::string_view utf8);
};

}  // namespace orven
