#pragma once

namespace orven {

// Every wait, time-out and timer period of the program, in milliseconds unless the name says
// otherwise. Code takes them from here so tests can shorten them; the defaults are the
// product's behaviour and stay as they are.
struct Timing {
    // Main window timers.
    int keepAliveTimerMs = 12000;   // keep-alive probe and idle count while logged in
    int idleLogOutTicks = 100;      // keep-alive ticks without FTP activity before log-out (20 min)
    int backupWatchTimerMs = 5000;  // main window checks whether a scheduled backup is due
    int dialogBackupWatchTimerMs = 10000;  // each open dialog does the same check

    // Questions that answer themselves so that unattended runs go on.
    int backupQuestionAutoAnswerMs = 600000;       // "run the backup now?" answers yes
    int backupRetryQuestionAutoAnswerMs = 600000;  // failed-backup dialogs answer "retry"
    int rollOverNoticeAutoCloseMs = 600000;        // roll-over notice closes as OK, the move starts

    // Scheduled backup.
    int backupRetryWaitDefaultMs = 60000;  // wait between backup retries when none is set
    int backupRetryWaitMinimumMs = 10000;  // a shorter configured wait is raised to this

    // FTP control connection.
    int replyTimeoutMs = 10000;           // each reply line, the greeting included
    int storEndReplyTimeoutMs = 180000;   // the reply that ends a STOR, which comes late
    int drainLineTimeoutMs = 1;           // each stray reply line thrown away before a command
    int transferEndReadTimeoutMs = 5000;  // the single read of the reply that ends a RETR

    // FTP data connection.
    int dataAcceptTimeoutMs = 10000;  // main unit connecting back to our PORT listener
    int dataReadTimeoutMs = 10000;    // each read of a data piece
    int uploadPiecePauseMs = 10;      // after each 1024-byte piece: about 100 KB/s at most

    // Reconnecting a job after a broken connection: 60 s in cancellable steps.
    int reconnectWaitStepMs = 100;    // one step; the cancel flag is looked at after each
    int reconnectWaitSteps = 600;     // steps per wait
    int downloadDonePumpPauseMs = 1;  // between the event dispatches after a finished download
    int downloadDonePumpCount = 10;   // dispatches after a finished download

    // Network drive.
    int networkDriveReconnectDelayMs = 3000;  // before the first reconnect of a lost share

    // Always-on download worker, per pass.
    int workerLoggedOutWaitMs = 300;      // no session: look again later
    int workerFirstLogInWaitMs = 200;     // first pass after a log-in, before taking the client
    int workerSwitchedOffWaitMs = 300;    // always-on download switched off
    int workerPausedWaitMs = 100;         // the user interface holds the pause request
    int workerStoreNotReadyWaitMs = 100;  // always-on store missing, incomplete or excluded
    int workerBeforeBoxWaitMs = 100;      // before each box download
    int workerAfterFailureWaitMs = 500;   // after a box download that did not succeed
    int workerBetweenBoxesWaitMs = 500;   // after a box is marked done
    int refreshHandshakeStepMs = 10;      // polling for the list refresh the worker asked for
    int refreshHandshakeSteps = 3000;     // polls before the worker stops waiting (30 s)

    // User interface thread waiting for the worker.
    int pauseHandshakeStepMs = 50;   // polling until the worker reports itself idle
    int exitWorkerStopStepMs = 100;  // exit: polling until the worker has stopped
    int exitRefreshWaitStepMs = 10;  // exit: polling while a list refresh still runs
    int exitRefreshWaitSteps = 10;   // exit: polls before going on regardless

    // Keeping the window alive without slowing long jobs down.
    int pumpIntervalMs = 15;        // least time between two event dispatches of Ui::pump
    int folderCheckTrustMs = 1000;  // a passed folder access check is trusted this long
};

}  // namespace orven
