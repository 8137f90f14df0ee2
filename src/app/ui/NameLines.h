#pragma once

#include <string>

#include "app/CORVENDoc.h"

namespace orven::ui {

class DialogBar;

// The dialog bar's two read-only lines and the store folder they name: what they show at
// start-up and for the active list window, and the folder the user opened or deleted.
class NameLines {
  public:
    // bar and doc must outlive the lines.
    NameLines(DialogBar& bar, CORVENDoc& doc) : m_bar(bar), m_doc(doc) {}

    // The open folder, and the boxes of the last run's last window when they come back.
    void showStartupFolder(bool restoreWindows);
    // The folder and boxes of list window n; false when it shows no boxes (or n is none).
    bool showWindow(int n);
    // Opens a download folder (full path) as the store; the box line empties.
    void openFolder(const std::string& folder);
    // A store that is gone (deleted from the folder dialog) is no longer shown as open; true
    // when it was forgotten.
    bool forgetMissingStore();
    // The folder line's folder becomes the current folder name.
    void syncFolderName();

  private:
    DialogBar& m_bar;
    CORVENDoc& m_doc;
};

}  // namespace orven::ui
