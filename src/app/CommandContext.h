#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "app/CORVENDoc.h"
#include "app/SessionController.h"
#include "link/JobEnvironment.h"
#include "platform/ProfileFile.h"
#include "platform/Ui.h"
#include "store/StoreContext.h"

namespace orven {

// What a command of the window works with: the session (flags, FTP client, worker hand-shake),
// the document record, the settings file, the user and the folder access check. The window
// keeps one for its commands; tests make their own. All references must outlive it.
struct CommandContext {
    SessionController& session;
    CORVENDoc& doc;
    ProfileFile& settings;
    Ui& ui;
    // The folder access check of the data folder; false: the command stops. May be empty.
    std::function<bool()> folderCheck;
    // Where temporarily deleted download folders are kept, with their record.
    std::filesystem::path holdingFolder;
    // Set by the download choice when a download ran to its end with every message stored;
    // the download command clears it before and reads it after its dialog.
    bool downloadCompleted = false;

    // For the box download loops and the folder download, on the session's client.
    JobEnvironment job() { return session.job(&settings, folderCheck); }
    // For the store's operations, with the folder access check.
    StoreContext store() const { return session.environment().store(folderCheck); }
    // The store folder open now: data folder and current folder name.
    std::filesystem::path storeFolder() const { return doc.storeFolder(); }
    bool folderUsable() const { return !folderCheck || folderCheck(); }

    // The program's questions and notices: Yes/No with the question icon, OK with an icon.
    bool ask(std::string_view text, std::string_view title) {
        return ui.messageBox(std::string(text), std::string(title), Buttons::YesNo,
                             Icon::Question) == IdYes;
    }
    void tell(std::string_view text, std::string_view title, Icon icon = Icon::Exclamation) {
        ui.messageBox(std::string(text), std::string(title), Buttons::Ok, icon);
    }
};

}  // namespace orven
