#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orven {

// Finding, matching, copying, moving and removing real files; reading and writing whole files
// is FileIo's. None of them throws; failures come back as false or nullopt.
class FileOps {
  public:
    // The file as given if it exists, else the same name with its extension in lower case,
    // then in upper case: files copied from the main unit or a Windows PC come in either.
    static std::optional<std::filesystem::path> findAnyCase(const std::filesystem::path& file);

    // Names of the regular files in the folder matching a Windows find pattern ('*' and '?',
    // ASCII case ignored, a trailing ".*" also matching names without extension), sorted.
    // A missing folder has no matches.
    // The names of the folder's entries that are not folders (a link counts as what it points
    // to), in the order the file system lists them. False when the folder could not be
    // listed; a folder that does not exist has none.
    static bool listFileNames(const std::filesystem::path& folder, std::vector<std::string>& names);
    // The folders directly in the folder (links to folders too), as the file system lists
    // them; none when it cannot be listed.
    static std::vector<std::filesystem::path> subfolders(const std::filesystem::path& folder);
    static std::vector<std::string> glob(const std::filesystem::path& folder,
                                         std::string_view pattern);
    static bool matchesPattern(std::string_view name, std::string_view pattern);

    // Copies a file or a whole tree to the path `to` (not into it), overwriting files that
    // are there and keeping modification times. On failure, a target that did not exist
    // before is removed again.
    static bool copyRecursive(const std::filesystem::path& from, const std::filesystem::path& to);

    // Renames; across file systems copies and then removes the source, which is only touched
    // once the copy is complete. False also when the copy is complete but removing the source
    // failed part way.
    static bool moveRecursive(const std::filesystem::path& from, const std::filesystem::path& to);

    // The same with the rename step supplied, so the cross-device path can be exercised.
    using RenameStep =
        std::function<std::error_code(const std::filesystem::path&, const std::filesystem::path&)>;
    static bool moveRecursive(const std::filesystem::path& from, const std::filesystem::path& to,
                              const RenameStep& rename);

    // True when the path is gone afterwards (including when it never existed).
    static bool removeRecursive(const std::filesystem::path& path);

    // Waits until the file's bytes are on the disk; false when that failed.
    static bool flushFile(const std::filesystem::path& file);
    // The same as FileIo::flushFolder and FileIo::replaceAtomically on the machine's own
    // file system, for callers not yet moved to FileIo.
    static bool flushFolder(const std::filesystem::path& folder);
    static bool replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                                      unsigned newFileMode = 0644);
};

}  // namespace orven
