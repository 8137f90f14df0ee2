#pragma once

#include <filesystem>
#include <functional>
#include <optional>

namespace orven {

// The per-user folders that hold the program's settings and data.
//
// $ORVEN_HOME, when set and not empty, holds everything (tests and the demo use it). Without
// it, settings go to ${XDG_CONFIG_HOME:-~/.config}/orven and data (the holding folder, the
// default save folders) to ${XDG_DATA_HOME:-~/.local/share}/orven; an XDG variable that is
// empty or not an absolute path is ignored, as the XDG rules say.
//
// Only paths are computed here; nothing is created until makePrivateFolder is called.
class UserFolders {
  public:
    // Looks a variable up like ::getenv: null when it is not set.
    using Getenv = std::function<const char*(const char*)>;

    UserFolders();  // the process environment
    explicit UserFolders(Getenv getenv);

    std::filesystem::path homeFolder() const;
    std::filesystem::path configFolder() const;
    std::filesystem::path dataFolder() const;
    std::filesystem::path settingsPath() const;   // ORVEN.ini
    std::filesystem::path holdingFolder() const;  // tmp/ of the data folder
    // The FTP dialogue with the main unit, for support (the backup beside it adds ".1").
    std::filesystem::path dialogueLogPath() const;

    // XDG_DOCUMENTS_DIR of user-dirs.dirs, else ~/Documents when it exists, else the home.
    std::filesystem::path documentsFolder() const;

    // $XDG_RUNTIME_DIR when it is an absolute path to a folder we may write in.
    std::optional<std::filesystem::path> runtimeFolder() const;

    // Creates the folder and any missing parents with mode 0700 (the settings hold the
    // remembered password). True when it is a folder afterwards.
    static bool makePrivateFolder(const std::filesystem::path& folder);

  private:
    // The variable's value when it is set and not empty.
    std::optional<std::filesystem::path> variable(const char* name) const;
    // The variable when it holds an absolute path, else the fallback under the home.
    std::filesystem::path xdgBase(const char* name, const char* fallback) const;
    // $ORVEN_HOME, else our folder in the XDG base folder.
    std::filesystem::path appFolder(const char* name, const char* fallback) const;
    std::optional<std::filesystem::path> documentsFromUserDirs() const;

    Getenv m_getenv;
};

}  // namespace orven
