#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/FileIo.h"
#include "platform/FileSystem.h"

namespace orven {

// A Windows profile (INI) file with the semantics of Get/WritePrivateProfileString, so that
// files move between a Windows PC and this program unchanged.
//
// Reads: section and key names compare case-insensitively (ASCII); the value is trimmed of
// blanks and tabs, then one pair of surrounding double quotes is removed. The first matching
// section and the first matching key in it win. A missing file reads as empty.
// Writes: the file is read, the key's line replaced (or added at the end of its section, or
// the section added at the end of the file), and the whole file replaced through
// FileIo::replaceAtomically, whose rules on modes and symbolic links apply; every other line,
// comment and blank line stays as it was. The file keeps its own encoding (CP932, or UTF-16LE
// with BOM); a new file gets the encoding and mode given to the constructor. Values are UTF-8
// in this interface.
class ProfileFile {
  public:
    enum class Encoding { Cp932, Utf16Le };

    // Reads and writes go through `files` (the machine's own when null), which must outlive
    // this object.
    explicit ProfileFile(std::filesystem::path path, Encoding newFileEncoding = Encoding::Cp932,
                         unsigned newFileMode = FileIo::kDefaultMode,
                         const FileSystem* files = nullptr);

    const std::filesystem::path& path() const { return m_path; }

    // Returns def when the key is missing.
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view def = {}) const;

    // Returns def when the key is missing or its value is empty. Otherwise the value is read
    // as Windows does: optional sign, then decimal digits up to the first other character
    // ("12ab" is 12, "ab" is 0); the result wraps to 32 bits instead of overflowing.
    int getInt(std::string_view section, std::string_view key, int def) const;

    // False when the file could not be written; the old file is then untouched.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool writeInt(std::string_view section, std::string_view key, int value);

  private:
    std::filesystem::path m_path;
    Encoding m_newFileEncoding;
    unsigned m_newFileMode;
    const FileSystem* m_files;
};

}  // namespace orven
