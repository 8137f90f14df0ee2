#include "app/StartupFolderSetting.h"

#include "app/FolderChooser.h"

namespace orven {

std::string StartupFolderSetting::shownFolder(const CORVENDoc& doc) {
    if (doc.startupMode != 1) {
        return {};
    }
    return doc.nextDataFolder.str() + doc.nextFolderName.str();
}

bool StartupFolderSetting::apply(CORVENDoc& doc, bool specified, const std::string& folder) {
    doc.folderChanged = 0;
    if (specified && folder.empty()) {
        return false;
    }
    if (!specified) {
        doc.startupMode = 0;
        doc.nextDataFolder = "";
        doc.nextFolderName = "";
        return true;
    }
    const FolderChooser::Split parts = FolderChooser::split(folder);
    doc.nextDataFolder = parts.dataFolder;
    doc.nextFolderName = parts.folderName;
    doc.folderChanged = 1;
    doc.startupMode = 1;
    return true;
}

}  // namespace orven
