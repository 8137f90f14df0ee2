#include "app/FolderChooser.h"

#include <algorithm>
#include <system_error>

#include "resources/Texts.h"
#include "store/StoreNames.h"

namespace orven {

namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& folder) {
    std::error_code error;
    return !folder.empty() && fs::is_directory(folder, error);
}

}  // namespace

FolderChooser::FolderChooser(FileSystem& fileSystem, Ui& ui, Browse browse)
    : m_fileSystem(fileSystem), m_ui(ui), m_browse(std::move(browse)) {}

std::string FolderChooser::startFolder(const CORVENDoc& doc, const fs::path& appData,
                                       const fs::path& documents) {
    if (!doc.dataFolder.empty() && isFolder(doc.storeFolder())) {
        return doc.storeFolder();
    }
    for (const fs::path& folder : {appData / "save" / "VMU", appData / "save"}) {
        if (isFolder(folder)) {
            return folder.string();
        }
    }
    return documents.string();
}

std::string FolderChooser::startFolder(const CORVENDoc& doc, const UserFolders& folders) {
    return startFolder(doc, folders.dataFolder(), folders.documentsFolder());
}

FolderChooser::Split FolderChooser::split(std::string chosen) {
    // A browser may hand back "/a/b/"; the name is that of the folder itself.
    while (chosen.size() > 1 && chosen.back() == '/') {
        chosen.pop_back();
    }
    const std::size_t cut = chosen.rfind('/');
    if (cut == std::string::npos) {
        return {"", chosen, chosen};
    }
    return {chosen.substr(0, cut + 1), chosen.substr(cut + 1), chosen};
}

std::vector<std::string> FolderChooser::storeFolders(const fs::path& dataFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dataFolder, error)) {
        if (entry.is_directory(error) && StoreNames::isStore(entry.path())) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool FolderChooser::acceptNetworkFolder(FileSystem& fileSystem, Ui& ui, const std::string& folder) {
    if (!fileSystem.isNetworkPath(folder)) {
        return true;
    }
    return ui.messageBox(std::string(text::kNetworkDriveWarning),
                         std::string(text::kNetworkDriveTitle), Buttons::YesNo,
                         Icon::Exclamation) == IdYes;
}

std::optional<std::string> FolderChooser::choose(const std::string& title,
                                                 const std::string& start) {
    for (;;) {
        std::optional<std::string> chosen = m_browse(title, start);
        if (!chosen || acceptNetworkFolder(m_fileSystem, m_ui, *chosen)) {
            return chosen;
        }
    }
}

FolderChooser::Result FolderChooser::chooseDownloadFolder(CORVENDoc& doc,
                                                          const std::string& start) {
    const auto chosen = choose(std::string(text::kChooseDownloadFolderTitle), start);
    if (!chosen) {
        return kCancelled;
    }
    const Split parts = split(*chosen);
    doc.dataFolder = parts.dataFolder;
    doc.currentFolderName = parts.folderName;
    doc.chosenDownloadFolder = parts.fullPath;
    return kChosen;
}

FolderChooser::Result FolderChooser::chooseSaveFolder(const std::string& start,
                                                      std::string& chosen) {
    const auto folder = choose(std::string(text::kChooseSaveFolderTitle), start);
    if (!folder) {
        return kCancelled;
    }
    chosen = *folder;
    return kChosen;
}

}  // namespace orven
