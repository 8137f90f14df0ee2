#pragma once

#include <functional>
#include <string>

#include "app/CommandContext.h"
#include "app/DownloadCommand.h"

namespace orven {

// The first-download wizard: log in, choose the download folder, build its box folders from
// the main unit, download the messages, and ask whether to stay logged in. Abandoning it at
// any step puts the data folder and folder name back. The pages are the window's dialogs;
// the order and what each answer leads to live here.
class DownloadWizard {
  public:
    // The two ways of the download page, as its buttons return them.
    static constexpr int kBulk = 1210;
    static constexpr int kChosen = 1211;

    struct Pages {
        std::function<bool()> logIn;         // the log-in dialog; false: cancelled
        std::function<bool()> chooseFolder;  // the folder browser; false: cancelled
        // The folder page: true when it built the folder's box folders.
        std::function<bool()> folderPage;
        // The chosen folder becomes the window's: list windows closed, folder line shown.
        std::function<void()> takeFolder;
        std::function<int()> wayPage;      // kBulk, kChosen, or anything else to cancel
        std::function<bool()> bulkDialog;  // true when it ended with OK
        std::function<bool()> chosenDialog;
    };

    enum class Outcome {
        NotLoggedIn,     // the log-in was cancelled; nothing else happened
        StayedLoggedIn,  // ended with "ログイン継続"
        LoggedOut,       // ended with "ログアウト"
    };

    DownloadWizard(CommandContext& context, DownloadCommand::Hooks hooks, Pages pages)
        : m_context(context), m_hooks(std::move(hooks)), m_pages(std::move(pages)) {}

    Outcome run();
    // True while the folder and the download pages are up.
    bool running() const { return m_running; }

  private:
    // The folder is chosen, checked and built; false when the wizard was abandoned there and
    // the folder must be put back.
    bool folderSteps();
    void downloadStep();
    void putBack();
    Outcome finish();

    CommandContext& m_context;
    DownloadCommand::Hooks m_hooks;
    Pages m_pages;
    bool m_running = false;
    std::string m_savedDataFolder;
    std::string m_savedFolderName;
};

}  // namespace orven
