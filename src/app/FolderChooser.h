#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CORVENDoc.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"
#include "platform/UserFolders.h"

namespace orven {

// The choice of a folder with the folder browser: where the browser starts, the warning
// about network folders, and how a chosen download folder is taken apart. The browser
// itself is injected so that tests never open a real one.
class FolderChooser {
  public:
    enum Result { kChosen = 1, kCancelled = 2 };

    // Shows the browser with a title and a preselected folder; nullopt when cancelled.
    using Browse = std::function<std::optional<std::string>(const std::string& title,
                                                            const std::string& start)>;

    // A chosen folder taken apart: the folder above it (ending in "/"), its name, and the
    // whole path.
    struct Split {
        std::string dataFolder;
        std::string folderName;
        std::string fullPath;
    };

    // fileSystem and ui must outlive the chooser.
    FolderChooser(FileSystem& fileSystem, Ui& ui, Browse browse);

    // The open store when it exists, else appData/save/VMU, appData/save, then documents.
    static std::string startFolder(const CORVENDoc& doc, const std::filesystem::path& appData,
                                   const std::filesystem::path& documents);
    // The same with the user's data and documents folders.
    static std::string startFolder(const CORVENDoc& doc, const UserFolders& folders);

    static Split split(std::string chosen);

    // The folders directly under dataFolder that are stores, by name.
    static std::vector<std::string> storeFolders(const std::filesystem::path& dataFolder);

    // True unless the folder is on the network and the user answers "いいえ"; every folder
    // choice of the program asks this same question.
    static bool acceptNetworkFolder(FileSystem& fileSystem, Ui& ui, const std::string& folder);

    // Browses until a folder is accepted; nullopt when cancelled.
    std::optional<std::string> choose(const std::string& title, const std::string& start);

    // Chooses the download folder and stores it in the document as data folder, current
    // folder name and chosen download folder.
    Result chooseDownloadFolder(CORVENDoc& doc, const std::string& start);

    // Chooses the folder that messages are saved into.
    Result chooseSaveFolder(const std::string& start, std::string& chosen);

  private:
    FileSystem& m_fileSystem;
    Ui& m_ui;
    Browse m_browse;
};

}  // namespace orven
