#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace orven {

// A text field of the document record: it holds at most Size - 1 UTF-16 characters, as the
// fixed arrays of the settings record always have, so a longer value is cut instead of
// overflowing. The cut never splits a surrogate pair.
template <std::size_t Size>
class FixedText {
    static_assert(Size >= 2);

  public:
    static constexpr std::size_t capacity = Size - 1;

    FixedText() = default;
    FixedText(std::string_view utf8) { set(utf8); }  // NOLINT: assigning text is the point

    void set(std::string_view utf8) { setUtf16(CodePage::utf8ToUtf16(utf8)); }

    void setUtf16(std::u16string text) {
        if (text.size() > capacity) {
            std::size_t cut = capacity;
            if (isHighSurrogate(text[cut - 1])) {
                --cut;
            }
            text.resize(cut);
        }
        m_text = std::move(text);
    }

    FixedText& operator=(std::string_view utf8) {
        set(utf8);
        return *this;
    }

    std::string str() const { return CodePage::utf16ToUtf8(m_text); }
    const std::u16string& utf16() const { return m_text; }
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }
    void clear() { m_text.clear(); }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.m_text == b.m_text; }

  private:
    static bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

    std::u16string m_text;
};

}  // namespace orven
