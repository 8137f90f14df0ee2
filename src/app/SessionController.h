#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "app/BackupHooks.h"
#include "app/CORVENDoc.h"
#include "app/CommandTable.h"
#include "app/WorkerHandshake.h"
#include "link/CFtpMng.h"
#include "link/Environment.h"
#include "link/LoginResult.h"
#include "platform/DialogueLog.h"
#include "platform/FileSystem.h"
#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven {

// What the session asks of the window that shows it.
class SessionView {
  public:
    virtual ~SessionView() = default;
    // Timer 1 (keep-alive probe and idle count) runs or stops. An FTP operation on the
    // always-on worker calls this too, so the window hands it to its own thread.
    virtual void setKeepAliveTimer(bool running) = 0;
    // Timer 2 (backup watch) runs or stops.
    virtual void setBackupTimer(bool running) = 0;
    // The log-in state changed, and with it what may be chosen.
    virtual void sessionChanged() = 0;
};

// The session of the program with the main unit, without any widget: the one environment
// (with the FTP client and the cancel flag) that its commands run with, the hand-shake with the
// always-on worker, the keep-alive and the idle log-out, the backup watch, the order of the exit
// and the enable rule of every command. The main window shows its state and forwards the user's
// clicks; the tests drive it alone.
class SessionController : public FtpHooks {
  public:
    // What the window gives the session's environment; the flags are the session's own.
    struct Services {
        Ui& ui;
        const Timing& timing;
        std::filesystem::path localDirectory;    // default local folder of the link
        int port = 0;                            // 0: the FTP service's port
        DialogueLog* dialogueLog = nullptr;      // every FTP line, for support; may be null
        const FileSystem* fileSystem = nullptr;  // null: the machine's
        const Clock* clock = nullptr;            // null: the system clock
    };
    enum class KeepAliveStep { Nothing, ConnectionLost, IdleLogOut };

    // services, doc and view must outlive the controller.
    SessionController(Services services, CORVENDoc& doc, SessionView& view);
    ~SessionController() override;
    SessionController(const SessionController&) = delete;
    SessionController& operator=(const SessionController&) = delete;

    // What the commands run with: store contexts, job environments, the flags.
    Environment& environment() { return m_environment; }
    CFtpMng& ftp() { return m_environment.ftp(); }
    std::atomic<int>& cancelFlag() { return m_environment.cancelFlag(); }
    WorkerHandshake& worker() { return m_worker; }
    bool loggedIn() const { return m_doc.loggedIn != 0; }
    // A job environment on the session's client that logs in again with the session's
    // fields; settings (ORVEN.ini) may be null.
    JobEnvironment job(const ProfileFile* settings, std::function<bool()> folderAccessCheck);
    // Ends a command that held the worker: the foreground-job flag and the pause request
    // are cleared together.
    void endForegroundJob() { m_worker.endForegroundJob(); }

    // ---- Log-in and log-out ----
    // Logs in with the given fields; on success the session is marked logged in and timer 1
    // runs.
    LoginResult logIn(const std::string& address, const std::string& user,
                      const std::string& password);
    // The same client logs in again with the session's fields (reconnect dialog).
    LoginResult reconnect();
    // Ends the session: running jobs are cancelled, the worker is held, QUIT is sent.
    void logOut();
    // Timer 1 starts again from an idle count of 0 (a long dialogue with the user ended).
    void restartKeepAlive();
    // The keep-alive found the connection gone: logged out. stopProbing: timer 1 stops too
    // (the user is asked about reconnecting); else it goes on until the user can be asked.
    void connectionLost(bool stopProbing);

    // ---- Timer 1 ----
    // One tick: a probe while logged in and idle, the idle count. downloadWindowOpen: a
    // download dialog holds the link, which counts as activity.
    KeepAliveStep keepAliveTick(bool downloadWindowOpen);
    int idleTicks() const { return m_idleTicks; }
    // FtpHooks: no probe runs while an operation is under way; may run on the worker.
    void operationStarted() override;
    void operationFinished() override;
    void loggedOut() override;

    // ---- The always-on worker ----
    // Holds the worker (waiting until it is idle) or lets it go on.
    void pauseWorker(bool pause);
    // The worker thread; it must call worker().markStopped() once it sees the stop request.
    void startWorker(std::function<void()> body);

    // ---- Timer 2: the backup watch ----
    void setBackupHooks(BackupHooks hooks) { m_backup = std::move(hooks); }
    // A backup can be run at all: the end question offers it.
    bool backupOffered() const { return static_cast<bool>(m_backup.run); }
    bool backupWatchArmed() const { return m_watch; }
    void setBackupWatch(bool armed);
    // Every command runs in this frame: timer 2 stopped, the command, a backup accepted
    // while one of its dialogs was open, timer 2 started again.
    void runCommand(const std::function<void()>& command);
    void backupTimerTick();
    // A dialog's own watch asks; true when the user accepted and the dialog should close.
    bool acceptDueBackupInDialog();
    // Start-up: asks about a backup that came due while the program was not running, then
    // arms the watch unless the user declined.
    void checkOverdueBackup();

    // ---- Exit ----
    // The end question's "backup and exit": the backup runs without completion message.
    void backupBeforeExit();
    // Timer 1 and 2 stopped, running work cancelled, the worker stopped and joined. The
    // window then saves the settings and its placement.
    void shutDown();

    // ---- Commands ----
    // The enable rule of a command, with the log-in state filled in from the session.
    bool enabled(int commandId, CommandFacts facts) const;

  private:
    bool backupDue() const;
    bool askBackupNow();
    void runDueBackup();
    void restartBackupWatch();
    void keepAliveRunning(bool running);
    void pump();

    Services m_services;
    CORVENDoc& m_doc;
    SessionView& m_view;
    Environment m_environment;
    WorkerHandshake m_worker{m_environment.stopRequest()};
    std::thread m_workerThread;
    std::atomic<int> m_idleTicks{0};

    BackupHooks m_backup;
    bool m_watch = false;              // timer 2 is armed
    bool m_backupAccepted = false;     // the user said yes to a due backup
    bool m_backupPending = false;      // ... while a dialog was open, which was cancelled
    bool m_completionMessage = false;  // the backup tells when it is done
    bool m_backupRunning = false;
};

}  // namespace orven
