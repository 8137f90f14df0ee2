#include "platform/ProfileFile.h"

#include "platform/CodePage.h"
#include "platform/FileIo.h"
#include "platform/LocalFileSystem.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orven {
namespace {

constexpr std::size_t npos = std::string::npos;

// Windows writes profiles in the ANSI code page, or in UTF-16LE when the file starts with its
// BOM; files saved by editors may carry a UTF-8 BOM, and they keep it.
enum class Format { Cp932, Utf16Le, Utf8 };

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view bom(Format format) {
    switch (format) {
        case Format::Utf16Le:
            return kUtf16Bom;
        case Format::Utf8:
            return kUtf8Bom;
        default:
            return {};
    }
}

std::size_t unitWidth(Format format) {
    return format == Format::Utf16Le ? 2 : 1;
}

Format detect(std::string_view bytes, Format fallback) {
    if (bytes.empty()) {
        return fallback;  // an empty file has no encoding of its own yet
    }
    if (bytes.starts_with(kUtf16Bom)) {
        return Format::Utf16Le;
    }
    return bytes.starts_with(kUtf8Bom) ? Format::Utf8 : Format::Cp932;
}

// Byte by byte, so that the file's byte order does not depend on the machine's.
std::u16string fromUtf16Le(std::string_view raw) {
    std::u16string text(raw.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                        static_cast<unsigned char>(raw[2 * i + 1]) << 8);
    }
    return text;
}

std::string toUtf16Le(std::u16string_view text) {
    std::string raw;
    for (char16_t unit : text) {
        raw.push_back(static_cast<char>(unit & 0xFF));
        raw.push_back(static_cast<char>(unit >> 8));
    }
    return raw;
}

std::string decode(Format format, std::string_view raw) {
    switch (format) {
        case Format::Utf16Le:
            return CodePage::utf16ToUtf8(fromUtf16Le(raw));
        case Format::Utf8:
            return CodePage::utf16ToUtf8(CodePage::utf8ToUtf16(raw));
        default:
            return CodePage::cp932ToUtf8(raw);
    }
}

std::string encode(Format format, std::string_view utf8) {
    switch (format) {
        case Format::Utf16Le:
            return toUtf16Le(CodePage::utf8ToUtf16(utf8));
        case Format::Utf8:
            return CodePage::utf16ToUtf8(CodePage::utf8ToUtf16(utf8));
        default:
            return CodePage::utf8ToCp932(utf8);
    }
}

struct Line {
    std::string raw;   // the line's bytes in the file's encoding, line end excluded
    std::string eol;   // its line end as found; empty on a last line that has none
    std::string text;  // raw, decoded to UTF-8
};

struct Document {
    Format format = Format::Cp932;
    std::vector<Line> lines;
};

Line makeLine(Format format, std::string_view raw, std::string_view eol) {
    return {std::string(raw), std::string(eol), decode(format, raw)};
}

// CR and LF can never be the second byte of a CP932 character, so splitting on them bytewise
// is safe; in UTF-16 they are whole code units.
bool isUnit(std::string_view body, std::size_t at, std::size_t width, char c) {
    return at + width <= body.size() && body[at] == c && (width == 1 || body[at + 1] == '\0');
}

std::size_t lineEndLength(std::string_view body, std::size_t at, std::size_t width) {
    if (isUnit(body, at, width, '\r')) {
        return isUnit(body, at + width, width, '\n') ? 2 * width : width;
    }
    return isUnit(body, at, width, '\n') ? width : 0;
}

std::vector<Line> splitLines(Format format, std::string_view body) {
    const std::size_t width = unitWidth(format);
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < body.size();) {
        const std::size_t eol = lineEndLength(body, at, width);
        if (eol == 0) {
            at += width;
            continue;
        }
        lines.push_back(makeLine(format, body.substr(start, at - start), body.substr(at, eol)));
        start = at += eol;
    }
    if (start < body.size()) {
        lines.push_back(makeLine(format, body.substr(start), {}));
    }
    return lines;
}

Document parse(std::string_view bytes, Format fallback) {
    Document doc;
    doc.format = detect(bytes, fallback);
    std::string_view body = bytes.substr(std::min(bytes.size(), bom(doc.format).size()));
    if (doc.format == Format::Utf16Le) {
        body = body.substr(0, body.size() & ~std::size_t{1});  // a cut-off half unit is lost
    }
    doc.lines = splitLines(doc.format, body);
    return doc;
}

std::string serialize(const Document& doc) {
    std::string bytes(bom(doc.format));
    for (const Line& line : doc.lines) {
        bytes += line.raw;
        bytes += line.eol;
    }
    return bytes;
}

std::string_view trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string_view> sectionName(std::string_view text) {
    const std::string_view t = trim(text);
    const std::size_t close = t.find(']');
    if (t.empty() || t.front() != '[' || close == npos) {
        return std::nullopt;
    }
    return trim(t.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> keyValue(std::string_view text) {
    const std::string_view t = trim(text);
    const std::size_t eq = t.find('=');
    if (t.starts_with(';') || eq == npos) {
        return std::nullopt;
    }
    return KeyValue{trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::size_t findSection(const std::vector<Line>& lines, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto found = sectionName(lines[i].text);
        if (found && equalsNoCase(*found, name)) {
            return i;
        }
    }
    return npos;
}

struct KeySearch {
    std::size_t key = npos;  // the line of the first matching key
    std::size_t insertAt;    // where a new key goes: after the section's last key line
};

KeySearch findKey(const std::vector<Line>& lines, std::size_t header, std::string_view name) {
    KeySearch search{npos, header + 1};
    for (std::size_t i = header + 1; i < lines.size() && !sectionName(lines[i].text); ++i) {
        const auto kv = keyValue(lines[i].text);
        if (!kv) {
            continue;
        }
        search.insertAt = i + 1;
        if (equalsNoCase(kv->key, name)) {
            search.key = i;
            break;
        }
    }
    return search;
}

// A line break inside a name or value would split its line and corrupt the file.
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

std::string newline(Format format) {
    return encode(format, "\r\n");
}

void replaceLine(Document& doc, std::size_t at, std::string text) {
    doc.lines[at].raw = encode(doc.format, text);
    doc.lines[at].text = std::move(text);
}

void insertLine(Document& doc, std::size_t at, std::string text) {
    if (at > 0 && doc.lines[at - 1].eol.empty()) {
        doc.lines[at - 1].eol = newline(doc.format);
    }
    Line line{encode(doc.format, text), newline(doc.format), std::move(text)};
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void setValue(Document& doc, std::string_view section, std::string_view key,
              std::string_view value) {
    section = trim(section);
    key = trim(key);
    const std::size_t header = findSection(doc.lines, section);
    if (header == npos) {
        insertLine(doc, doc.lines.size(), "[" + oneLine(section) + "]");
        insertLine(doc, doc.lines.size(), oneLine(key) + "=" + oneLine(value));
        return;
    }
    const KeySearch search = findKey(doc.lines, header, key);
    if (search.key == npos) {
        insertLine(doc, search.insertAt, oneLine(key) + "=" + oneLine(value));
        return;
    }
    // Like Windows, the key keeps the spelling it has in the file.
    const std::string existing(keyValue(doc.lines[search.key].text)->key);
    replaceLine(doc, search.key, existing + "=" + oneLine(value));
}

// Optional sign, then decimal digits up to the first other character; unsigned arithmetic
// wraps to 32 bits the way Windows does, without overflow.
int parseInt(std::string_view value) {
    value = trim(value);
    const bool negative = value.starts_with('-');
    if (negative || value.starts_with('+')) {
        value.remove_prefix(1);
    }
    std::uint32_t result = 0;
    for (std::size_t i = 0; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        result = result * 10u + static_cast<std::uint32_t>(value[i] - '0');
    }
    return static_cast<int>(negative ? 0u - result : result);
}

Format formatFor(ProfileFile::Encoding encoding) {
    return encoding == ProfileFile::Encoding::Utf16Le ? Format::Utf16Le : Format::Cp932;
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path path, Encoding newFileEncoding, unsigned newFileMode,
                         const FileSystem* files)
    : m_path(std::move(path)),
      m_newFileEncoding(newFileEncoding),
      m_newFileMode(newFileMode),
      m_files(files != nullptr ? files : &LocalFileSystem::machine()) {}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view def) const {
    try {
        const ReadResult content = m_files->readWhole(m_path, FileIo::kNoLimit);
        if (!content.ok()) {
            return std::string(def);
        }
        const Document doc = parse(content.bytes, Format::Cp932);
        const std::size_t header = findSection(doc.lines, trim(section));
        const std::size_t line = header == npos ? npos : findKey(doc.lines, header, trim(key)).key;
        return line == npos ? std::string(def) : unquote(keyValue(doc.lines[line].text)->value);
    } catch (...) {
        return std::string(def);
    }
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int def) const {
    const std::string value = getString(section, key);
    return value.empty() ? def : parseInt(value);
}

bool ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    try {
        const ReadResult content = m_files->readWhole(m_path, FileIo::kNoLimit);
        if (!content.ok() && content.status != ReadStatus::Missing) {
            return false;  // never replace a file we could not read
        }
        Document doc = parse(content.bytes, formatFor(m_newFileEncoding));
        setValue(doc, section, key, value);
        return FileIo::replaceAtomically(*m_files, m_path, serialize(doc), m_newFileMode);
    } catch (...) {
        return false;
    }
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, int value) {
    return writeString(section, key, std::to_string(value));
}

}  // namespace orven
