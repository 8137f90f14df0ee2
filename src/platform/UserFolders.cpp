#include "platform/UserFolders.h"

#include <cerrno>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace fs = std::filesystem;

namespace {

constexpr char kAppFolder[] = "orven";
constexpr char kDocumentsKey[] = "XDG_DOCUMENTS_DIR=";

// The home of the account when $HOME is not set (a service or a bare su).
fs::path passwordHome() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir) {
        return found->pw_dir;
    }
    return "/";
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents" or an absolute path.
std::optional<fs::path> documentsLine(const std::string& line, const fs::path& home) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos ||
        line.compare(start, sizeof kDocumentsKey - 1, kDocumentsKey) != 0) {
        return std::nullopt;
    }
    std::string value = line.substr(start + sizeof kDocumentsKey - 1);
    value.erase(value.find_last_not_of(" \t\r") + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    if (value == "$HOME" || value == "$HOME/") {
        return home;
    }
    if (value.rfind("$HOME/", 0) == 0) {
        return home / value.substr(6);
    }
    if (fs::path(value).is_absolute()) {
        return fs::path(value);
    }
    return std::nullopt;
}

}  // namespace

UserFolders::UserFolders() : UserFolders([](const char* name) { return ::getenv(name); }) {}

UserFolders::UserFolders(Getenv getenv) : m_getenv(std::move(getenv)) {}

std::optional<fs::path> UserFolders::variable(const char* name) const {
    const char* value = m_getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return fs::path(value);
}

fs::path UserFolders::xdgBase(const char* name, const char* fallback) const {
    const std::optional<fs::path> value = variable(name);
    if (value && value->is_absolute()) {
        return *value;
    }
    return homeFolder() / fallback;
}

fs::path UserFolders::appFolder(const char* name, const char* fallback) const {
    if (auto home = variable("ORVEN_HOME")) {
        return *home;
    }
    return xdgBase(name, fallback) / kAppFolder;
}

fs::path UserFolders::homeFolder() const {
    if (auto home = variable("HOME")) {
        return *home;
    }
    return passwordHome();
}

fs::path UserFolders::configFolder() const {
    return appFolder("XDG_CONFIG_HOME", ".config");
}

fs::path UserFolders::dataFolder() const {
    return appFolder("XDG_DATA_HOME", ".local/share");
}

fs::path UserFolders::settingsPath() const {
    return configFolder() / "ORVEN.ini";
}

fs::path UserFolders::holdingFolder() const {
    return dataFolder() / "tmp";
}

fs::path UserFolders::dialogueLogPath() const {
    return dataFolder() / "ftp-dialogue.log";
}

std::optional<fs::path> UserFolders::documentsFromUserDirs() const {
    std::ifstream in(xdgBase("XDG_CONFIG_HOME", ".config") / "user-dirs.dirs");
    std::optional<fs::path> found;
    for (std::string line; std::getline(in, line);) {
        if (auto path = documentsLine(line, homeFolder())) {
            found = path;  // the last assignment wins, as when the shell reads the file
        }
    }
    return found;
}

fs::path UserFolders::documentsFolder() const {
    if (auto documents = documentsFromUserDirs()) {
        return *documents;
    }
    const fs::path home = homeFolder();
    std::error_code ec;
    if (fs::is_directory(home / "Documents", ec)) {
        return home / "Documents";
    }
    return home;
}

std::optional<fs::path> UserFolders::runtimeFolder() const {
    const std::optional<fs::path> value = variable("XDG_RUNTIME_DIR");
    std::error_code ec;
    if (!value || !value->is_absolute() || !fs::is_directory(*value, ec) ||
        access(value->c_str(), W_OK | X_OK) != 0) {
        return std::nullopt;
    }
    return value;
}

bool UserFolders::makePrivateFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        return true;
    }
    const fs::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder && !makePrivateFolder(parent)) {
        return false;
    }
    // Another process may create it between the test above and here; that is fine too.
    return (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) && fs::is_directory(folder, ec);
}

}  // namespace orven
