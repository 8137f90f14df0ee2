#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orven::mainunit {

// The served folder as the client sees it: virtual paths such as "/rusuroku/0101" that lead
// nowhere outside the folder, whatever the client sends.
class ServedTree {
  public:
    // The root must exist.
    explicit ServedTree(const std::filesystem::path& root);

    const std::filesystem::path& root() const { return m_root; }

    // The normalised virtual path that arg names seen from cwd. With allowDotDot, ".." stops
    // at the root as in a chroot ("CWD ../" at the root stays there); file arguments may not
    // use ".." at all. Refused: such a "..", a backslash, or a name beginning with "." (the
    // server's temporary files are hidden that way).
    static std::optional<std::string> resolve(std::string_view cwd, std::string_view arg,
                                              bool allowDotDot);
    // The real path, or nothing when a symbolic link on the way leads out of the root.
    std::optional<std::filesystem::path> real(std::string_view virtualPath) const;

    static std::string parentOf(std::string_view virtualPath);
    static std::string nameOf(std::string_view virtualPath);
    static std::string join(std::string_view virtualFolder, std::string_view name);

  private:
    std::filesystem::path m_root;  // canonical
};

}  // namespace orven::mainunit
