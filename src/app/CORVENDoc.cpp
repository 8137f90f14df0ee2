#include "app/CORVENDoc.h"

namespace orven {

CORVENDoc::CORVENDoc() {
    // A fresh condition matches everything: "any" for flag, played, import and protection.
    boxSearch[0] = 2;
    boxSearch[1] = 2;
    boxSearch[2] = 8;
    boxSearch[3] = 2;
    responseSearch[0] = 2;
    responseSearch[1] = 2;
}

void CORVENDoc::forgetStoreFolder() {
    dataFolder.clear();
    currentFolderName.clear();
    for (auto& boxes : windowBoxLists) {
        boxes.clear();
    }
    windowCount = 0;
}

bool CORVENDoc::takeStartupFolder() {
    // Start-up mode 0 keeps no next folder; taking the empty one would lose the last folder
    // and with it the list windows of the last run.
    if (!nextDataFolder.empty()) {
        dataFolder = nextDataFolder;
    }
    if (startupMode == 1 && !(windowFolderNames[0] == nextFolderName)) {
        currentFolderName = nextFolderName;
        return false;
    }
    return true;
}

std::string CORVENDoc::withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string CORVENDoc::storeFolder() const {
    return withTrailingSlash(dataFolder.str()) + currentFolderName.str();
}

bool CORVENDoc::restoresListWindows(bool restoreFlag) const {
    return restoreFlag && folderChanged != 1 && windowCount > 0;
}

}  // namespace orven
