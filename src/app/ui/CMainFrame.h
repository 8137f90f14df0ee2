#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include <QMainWindow>
#include <QTimer>

#include "app/CORVENDoc.h"
#include "app/FolderAccessCheck.h"
#include "app/VolumeControl.h"
#include "app/WorkerHandshake.h"
#include "app/ui/BackupHooks.h"
#include "app/ui/DialogBar.h"
#include "link/CFtpMng.h"
#include "platform/AudioEndpoint.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Timing.h"

class QAction;
class QLabel;
class QMdiArea;

namespace orven::ui {

class DropMenu;
class KeepAlive;
class ListWindows;
class QtUi;

// The main window: the dialog bar with the commands, the area of the list windows, the counts
// line, the log-in session with its keep-alive, and the hand-shake with the always-on worker.
// It owns the document record and the FTP client.
class CMainFrame : public QMainWindow, public FtpHooks {
    Q_OBJECT

  public:
    // What the window works with; all must outlive it.
    struct Services {
        const Timing& timing;
        QtUi& ui;
        FileSystem& fileSystem;
        AudioEndpoint& audio;
        std::filesystem::path settingsPath;
        std::filesystem::path localDirectory;  // default local folder of the link
    };

    explicit CMainFrame(Services services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Reads the settings and prepares the window; false when the user chose to end the
    // program during it.
    bool create();

    CORVENDoc& doc() { return m_doc; }
    ProfileFile& settings() { return m_settings; }
    ListWindows& listWindows() { return *m_lists; }
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

    // Session.
    void logIn();
    void logOut(bool idle);
    KeepAlive& keepAlive() { return *m_keepAlive; }
    CFtpMng& ftp() { return *m_ftp; }

    // Foreground side of the worker hand-shake.
    void PauseAlwaysDownload(bool pause);
    void SetAlwaysDownloadPause(bool pause);
    WorkerHandshake& worker() { return m_worker; }
    // The worker thread; it must call worker().markStopped() once it sees the stop request.
    void startWorker(std::function<void()> body);

    void setBackupHooks(BackupHooks hooks) { m_backupHooks = std::move(hooks); }
    // Start-up: asks about a backup that came due while the program was not running, then
    // arms the watch unless the user declined.
    void checkOverdueBackup();
    // Backup watch (timer 2).
    void setBackupWatch(bool armed);
    void restartBackupWatch();
    // Every command runs inside this frame: timer 2 stopped, then a backup that came due
    // while a dialog was open, then timer 2 started again.
    void runCommand(const std::function<void()>& command);

    // FtpHooks; may be called on the worker thread.
    void operationStarted() override;
    void operationFinished() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void restorePlacement();
    void applyStartupFolder();
    void buildMenus();
    void buildSettingsMenu();
    void buildWindowMenu();
    void buildHelpMenu();
    QAction* addItem(QMenu* menu, int id, std::string_view label, void (CMainFrame::*slot)());
    void onSettingsButton();
    void onWindowButton();
    void onListsChanged();
    void updateTitle();
    void onHelpButton();
    void updateMenuStates();
    void onStartupFolder();
    void onVolume();
    void onLogInCommand() { logIn(); }
    void onLogOutCommand() { logOut(false); }
    void onManual();
    void openManual();
    void showUpdateNotice();
    void showAbout();
    void onConnectionLost();
    void reconnect();
    void offerReconnect();
    void endSession(bool idle);
    void createClient();
    bool linkBusy();
    void onBackupTimer();
    bool backupDue() const;
    bool askBackupNow();
    bool acceptDueBackupInDialog();
    void runDueBackup();
    int confirmExit();
    void exitSequence();
    void savePlacement();
    int loginPort() const;
    void onGuiThread(std::function<void()> work);

    Services m_services;
    ProfileFile m_settings;
    CORVENDoc m_doc;
    VolumeControl m_volume;
    FolderAccessCheck m_folderCheck;
    std::atomic<int> m_cancel{0};
    std::unique_ptr<CFtpMng> m_ftp;
    WorkerHandshake m_worker;
    std::thread m_workerThread;

    QMdiArea* m_mdi;
    ListWindows* m_lists;
    DialogBar* m_bar;
    QLabel* m_countsLine;
    DropMenu* m_settingsMenu = nullptr;
    DropMenu* m_windowMenu = nullptr;
    DropMenu* m_helpMenu = nullptr;
    KeepAlive* m_keepAlive;
    QTimer m_backupTimer;
    std::map<int, QAction*> m_actions;

    OperationFlags m_flags;
    int m_folderTotal = 0;
    BackupHooks m_backupHooks;
    bool m_restore = true;
    bool m_backupWatch = false;
    bool m_backupAccepted = false;
    bool m_backupPending = false;  // a dialog was cancelled for a due backup
    bool m_completionMessage = false;
    bool m_busy = false;  // a scheduled backup runs
    bool m_exiting = false;
};

}  // namespace orven::ui
