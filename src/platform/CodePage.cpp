#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include <iconv.h>

namespace orven {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// One iconv descriptor; iconv keeps state in it, so each thread owns its own.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

  private:
    iconv_t m_cd;
};

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

Converter& cp932Decoder() {
    thread_local Converter converter(kUtf16, "CP932");
    return converter;
}

Converter& cp932Encoder() {
    thread_local Converter converter("CP932", kUtf16);
    return converter;
}

void appendBytes(std::string& out, const char* bytes, std::size_t n) {
    out.append(bytes, n);
}

void appendBytes(std::u16string& out, const char* bytes, std::size_t n) {
    const std::size_t old = out.size();
    out.resize(old + n / sizeof(char16_t));
    std::memcpy(out.data() + old, bytes, n / sizeof(char16_t) * sizeof(char16_t));
}

// Feeds `in` through the converter into `out`. Where iconv stops at input it rejects (or has
// no descriptor at all), `bad` appends a replacement and says how many bytes to skip; it
// always skips at least one, so the loop ends on any input.
template <typename Text, typename Bad>
void convert(Converter& converter, std::string_view in, Text& out, Bad bad) {
    if (converter.valid()) {
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    char* src = const_cast<char*>(in.data());  // iconv's signature; it does not write there
    std::size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const bool done = converter.valid() && iconv(converter.get(), &src, &srcLeft, &dst,
                                                     &dstLeft) != static_cast<std::size_t>(-1);
        const int error = errno;
        appendBytes(out, buffer, static_cast<std::size_t>(dst - buffer));
        if (done || (converter.valid() && error == E2BIG)) {
            continue;
        }
        const std::size_t skip = std::clamp<std::size_t>(bad(src, srcLeft, out), 1, srcLeft);
        src += skip;
        srcLeft -= skip;
    }
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// A well-formed but unassigned double-byte code is one bad character, not two. ASCII only
// gets here when iconv has no CP932 at all, and then still passes.
std::size_t badCp932(const char* at, std::size_t left, std::u16string& out) {
    const auto b = static_cast<unsigned char>(at[0]);
    out.push_back(b < 0x80 ? char16_t{b} : kReplacement);
    const bool pair = left >= 2 && isLeadByte(b) && isTrailByte(static_cast<unsigned char>(at[1]));
    return pair ? 2 : 1;
}

char16_t unitAt(const char* at) {
    char16_t unit;
    std::memcpy(&unit, at, sizeof unit);
    return unit;
}

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A character outside CP932 becomes one '?', whether it is one code unit or a pair; as
// above, ASCII only gets here without iconv.
std::size_t badUtf16(const char* at, std::size_t left, std::string& out) {
    if (left < sizeof(char16_t)) {
        return left;
    }
    const char16_t unit = unitAt(at);
    out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    const bool pair = left >= 4 && isHighSurrogate(unit) && isLowSurrogate(unitAt(at + 2));
    return pair ? 4 : 2;
}

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

struct Utf8Lead {
    int more;         // continuation bytes that follow
    unsigned lo, hi;  // the range allowed for the first of them
};

// The ranges leave out overlong forms, surrogates and anything above U+10FFFF.
Utf8Lead utf8Lead(unsigned b0) {
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return {1, 0x80, 0xBF};
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        return {2, b0 == 0xE0 ? 0xA0u : 0x80u, b0 == 0xED ? 0x9Fu : 0xBFu};
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        return {3, b0 == 0xF0 ? 0x90u : 0x80u, b0 == 0xF4 ? 0x8Fu : 0xBFu};
    }
    return {0, 0, 0};
}

// One UTF-8 sequence at `at`; a bad one yields U+FFFD for its longest valid-looking prefix,
// the usual way of replacing so that no good character after it is swallowed.
Decoded decodeUtf8(std::string_view text, std::size_t at) {
    const auto b0 = static_cast<unsigned char>(text[at]);
    Utf8Lead lead = utf8Lead(b0);
    if (b0 < 0x80 || lead.more == 0) {
        return {b0 < 0x80 ? char32_t{b0} : kReplacement, 1};
    }
    char32_t cp = b0 & (0x3F >> lead.more);
    std::size_t length = 1;
    for (; lead.more > 0; --lead.more, ++length, lead.lo = 0x80, lead.hi = 0xBF) {
        const unsigned b =
            at + length < text.size() ? static_cast<unsigned char>(text[at + length]) : 0;
        if (b < lead.lo || b > lead.hi) {
            return {kReplacement, length};
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return {cp, length};
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string_view asBytes(std::u16string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

}  // namespace

std::u16string CodePage::cp932ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    convert(cp932Decoder(), bytes, out, badCp932);
    return out;
}

std::string CodePage::cp932ToUtf8(std::string_view bytes) {
    return utf16ToUtf8(cp932ToUtf16(bytes));
}

std::string CodePage::utf16ToCp932(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    convert(cp932Encoder(), asBytes(text), out, badUtf16);
    return out;
}

std::string CodePage::utf8ToCp932(std::string_view text) {
    return utf16ToCp932(utf8ToUtf16(text));
}

std::u16string CodePage::utf8ToUtf16(std::string_view text) {
    // ASCII, as file paths mostly are, maps byte for byte.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
        return std::u16string(text.begin(), text.end());
    }
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Decoded d = decodeUtf8(text, at);
        if (d.codePoint < 0x10000) {
            out.push_back(static_cast<char16_t>(d.codePoint));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((d.codePoint - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((d.codePoint - 0x10000) & 0x3FF)));
        }
        at += d.length;
    }
    return out;
}

std::string CodePage::utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (isHighSurrogate(cp) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (isHighSurrogate(cp) || isLowSurrogate(cp)) {
            cp = kReplacement;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::size_t CodePage::cp932Length(std::string_view utf8) {
    return utf8ToCp932(utf8).size();
}

}  // namespace orven
