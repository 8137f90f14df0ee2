#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include <QMainWindow>
#include <QTimer>

#include "app/CORVENDoc.h"
#include "app/CommandContext.h"
#include "app/FolderAccessCheck.h"
#include "app/FolderChooser.h"
#include "app/SessionController.h"
#include "app/VolumeControl.h"
#include "app/ui/DialogBar.h"
#include "app/ui/NameLines.h"
#include "platform/AudioEndpoint.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Timing.h"

class QLabel;
class QMdiArea;

namespace orven::ui {

class DownloadCommands;
class KeepAlive;
class ListWindows;
class MainMenus;
class QtUi;
class SessionDialogs;

// The main window: the dialog bar with the commands, the area of the list windows and the
// counts line. It shows the session's state and forwards the user's commands to it; the
// session (log-in, keep-alive, worker, backup watch, enable rules) lives in the
// SessionController it owns.
class CMainFrame : public QMainWindow, public SessionView {
    Q_OBJECT

  public:
    // What the window works with; all must outlive it.
    struct Services {
        const Timing& timing;
        QtUi& ui;
        FileSystem& fileSystem;
        AudioEndpoint& audio;
        std::filesystem::path settingsPath;
        std::filesystem::path localDirectory;   // default local folder of the link
        DialogueLog* dialogueLog = nullptr;     // may be null: no log is kept
        std::filesystem::path dialogueLogPath;  // what "通信ログを開く" opens
        // Where deleted download folders are kept; empty: the user's holding folder.
        std::filesystem::path holdingFolder{};
        FolderChooser::Browse browse{};  // the folder browser; empty: the desktop's
    };

    explicit CMainFrame(Services services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Reads the settings and prepares the window; false when the user chose to end the
    // program during it.
    bool create();

    CORVENDoc& doc() { return m_doc; }
    CommandContext& commandContext() { return *m_context; }
    // "ボックス": fills the next list-window slot (true) or leaves it (false).
    using BoxOpener = std::function<bool()>;
    void setBoxOpener(BoxOpener opener) { m_boxOpener = std::move(opener); }
    ProfileFile& settings() { return m_settings; }
    SessionController& session() { return *m_session; }
    ListWindows& listWindows() { return *m_lists; }
    KeepAlive& keepAlive() { return *m_keepAlive; }
    bool restoreFlag() const { return m_restore; }
    // Reopens the list windows of the last run from their slots and placements.
    void restoreListWindows();
    void setBoxText(int windowNumber);
    void layoutDialogBar();
    // Called with false on every idle pass, with true after the lists changed.
    void updateCountsLine(bool recount);
    int folderTotal() const { return m_folderTotal; }
    void setOperationFlags(const OperationFlags& flags);
    void refreshCommands();

    // The session's commands, each in the command frame.
    void logIn();
    void logOut(bool idle);
    void setBackupHooks(BackupHooks hooks) { m_session->setBackupHooks(std::move(hooks)); }
    void checkOverdueBackup() { m_session->checkOverdueBackup(); }
    void runCommand(const std::function<void()>& command) { m_session->runCommand(command); }

    // SessionView
    void setKeepAliveTimer(bool running) override;
    void setBackupTimer(bool running) override;
    void sessionChanged() override { refreshCommands(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildLayout();
    // The context of the window's commands and the commands that bring messages in.
    void makeCommands();
    void connectSignals();
    void restorePlacement();
    void applyStartupFolder();
    void onCommand(int id);
    void runDownloadCommand(int id);
    void openBoxes();
    // Every list window reads the store again.
    void refreshLists();
    // Opens a download folder (full path) as the store; the list windows close.
    void takeFolder(const std::string& folder);
    void forgetMissingStore();
    void onSettingsButton();
    void onWindowButton();
    void onHelpButton();
    void onListsChanged();
    void updateTitle();
    int confirmExit();
    void exitSequence();
    void savePlacement();

    Services m_services;
    ProfileFile m_settings;
    CORVENDoc m_doc;
    VolumeControl m_volume;
    FolderAccessCheck m_folderCheck;
    std::unique_ptr<SessionController> m_session;
    std::unique_ptr<CommandContext> m_context;

    QMdiArea* m_mdi;
    ListWindows* m_lists;
    DialogBar* m_bar;
    NameLines m_nameLines;
    QLabel* m_countsLine;
    MainMenus* m_menus;
    std::unique_ptr<SessionDialogs> m_dialogs;
    std::unique_ptr<DownloadCommands> m_downloads;
    BoxOpener m_boxOpener;
    KeepAlive* m_keepAlive;
    QTimer m_backupTimer;

    OperationFlags m_flags;
    int m_folderTotal = 0;
    bool m_restore = true;
    bool m_exiting = false;
};

}  // namespace orven::ui
