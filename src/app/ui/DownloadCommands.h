#pragma once

#include <functional>
#include <string>

#include "app/CommandContext.h"
#include "app/DownloadCommand.h"
#include "app/FolderChooser.h"

class QWidget;

namespace orven::ui {

// The window's commands that bring messages onto the PC: the folder download dialog, the bulk
// and the selective download, the deletion-after-download settings and the first-download
// wizard. Each opens its dialogs over the window and runs the Qt-free command behind them;
// the window runs each in the session's command frame.
class DownloadCommands {
  public:
    // What the commands need of the window.
    struct Window {
        std::function<int()> recount;        // recounts the open store; its folder total
        std::function<void()> refreshLists;  // reads every list window again
        // Closes the list windows and opens the folder (full path) as the store.
        std::function<void(const std::string& folder)> takeFolder;
        std::function<bool()> logIn;  // the log-in dialog; true when logged in after it
    };

    // browse: the folder browser (empty: the desktop's). All must outlive the commands.
    DownloadCommands(CommandContext& context, Window window, FolderChooser::Browse browse,
                     QWidget& owner);

    void folderDownload();
    void bulkDownload();
    void selectDownload();
    void autoDeleteSettings();
    void wizard();

  private:
    DownloadCommand::Hooks hooks() const;
    FolderChooser::Browse browse();
    bool chooseFolder();

    CommandContext& m_context;
    Window m_window;
    FolderChooser::Browse m_browse;
    QWidget& m_owner;
};

}  // namespace orven::ui
