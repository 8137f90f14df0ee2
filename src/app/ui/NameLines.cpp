#include "app/ui/NameLines.h"

#include <filesystem>
#include <system_error>

#include "app/FolderChooser.h"
#include "app/NameLineText.h"
#include "app/ui/DialogBar.h"
#include "app/ui/NameLine.h"
#include "app/ui/QtText.h"

namespace orven::ui {

void NameLines::showStartupFolder(bool restoreWindows) {
    m_bar.folderLine()->setLineText(
        qs(NameLineText::folderLine(m_doc.dataFolder.str(), m_doc.currentFolderName.str(), true)));
    const int n = m_doc.windowCount;
    const bool showBoxes = n >= 1 && n <= CORVENDoc::kListWindows && restoreWindows;
    m_bar.boxLine()->setLineText(
        showBoxes ? qs(NameLineText::boxLine(m_doc.windowBoxLists[n - 1].str())) : QString());
}

bool NameLines::showWindow(int n) {
    const bool shown = m_doc.windowCount != 0 && n >= 1 && n <= CORVENDoc::kListWindows;
    const std::string boxes = shown ? m_doc.windowBoxLists[n - 1].str() : std::string();
    const std::string folder = shown ? m_doc.windowFolderNames[n - 1].str() : std::string();
    m_bar.boxLine()->setLineText(qs(NameLineText::boxLine(boxes)));
    m_bar.folderLine()->setLineText(qs(NameLineText::folderLine(m_doc.dataFolder.str(), folder)));
    return !boxes.empty();
}

void NameLines::openFolder(const std::string& folder) {
    const FolderChooser::Split parts = FolderChooser::split(folder);
    m_doc.dataFolder = parts.dataFolder;
    m_doc.currentFolderName = parts.folderName;
    m_doc.chosenDownloadFolder = parts.fullPath;
    m_bar.folderLine()->setLineText(
        qs(NameLineText::folderLine(m_doc.dataFolder.str(), m_doc.currentFolderName.str(), true)));
    m_bar.boxLine()->setLineText({});
}

bool NameLines::forgetMissingStore() {
    std::error_code error;
    if (m_doc.currentFolderName.empty() ||
        std::filesystem::is_directory(m_doc.storeFolder(), error)) {
        return false;
    }
    m_doc.currentFolderName = "";
    m_bar.folderLine()->setLineText({});
    m_bar.boxLine()->setLineText({});
    return true;
}

void NameLines::syncFolderName() {
    m_doc.currentFolderName = NameLineText::folderNameOf(utf8(m_bar.folderLine()->lineText()));
}

}  // namespace orven::ui
