#include "app/SessionController.h"

#include <chrono>

namespace orven {
namespace {

FtpEnvironment givenBy(const SessionController::Services& services, FtpHooks* hooks) {
    FtpEnvironment given;
    given.ui = &services.ui;
    given.timing = services.timing;
    given.fileSystem = services.fileSystem;
    given.clock = services.clock;
    given.dialogueLog = services.dialogueLog;
    given.hooks = hooks;
    given.defaultLocalDirectory = services.localDirectory;
    return given;
}

void sleepFor(std::chrono::milliseconds step) {
    std::this_thread::sleep_for(step);
}

}  // namespace

SessionController::SessionController(Services services, CORVENDoc& doc, SessionView& view)
    : m_services(std::move(services)),
      m_doc(doc),
      m_view(view),
      m_environment(givenBy(m_services, this)) {}

SessionController::~SessionController() {
    if (m_workerThread.joinable()) {
        m_worker.stop([] {}, sleepFor,
                      std::chrono::milliseconds(m_services.timing.exitWorkerStopStepMs));
        m_workerThread.join();
    }
}

void SessionController::pump() {
    m_services.ui.pump();
}

// ---- Log-in and log-out ----

LoginResult SessionController::logIn(const std::string& address, const std::string& user,
                                     const std::string& password) {
    const LoginResult result = ftp().Login(address, user, password, m_services.port);
    if (result == LoginResult::LoggedIn) {
        m_doc.loggedIn = 1;
        m_idleTicks = 0;
        keepAliveRunning(true);
    }
    m_view.sessionChanged();
    return result;
}

void SessionController::restartKeepAlive() {
    m_idleTicks = 0;
    keepAliveRunning(true);
}

JobEnvironment SessionController::job(const ProfileFile* settings,
                                      std::function<bool()> folderAccessCheck) {
    return m_environment.job({m_doc.sessionAddress.str(), m_doc.sessionUser.str(),
                              m_doc.sessionPassword.str(), m_services.port},
                             settings, std::move(folderAccessCheck));
}

LoginResult SessionController::reconnect() {
    ftp().Logout();
    return logIn(m_doc.sessionAddress.str(), m_doc.sessionUser.str(), m_doc.sessionPassword.str());
}

void SessionController::logOut() {
    keepAliveRunning(false);
    m_idleTicks = 0;
    if (m_doc.loggedIn == 0) {
        m_view.sessionChanged();
        return;
    }
    // Whatever runs on the link stops before the QUIT goes out.
    cancelFlag().store(1);
    pauseWorker(true);
    if (ftp().IsLoggedIn()) {
        ftp().Logout();
    }
    pump();
    m_doc.loggedIn = 0;
    m_view.sessionChanged();
    cancelFlag().store(0);
    m_worker.endForegroundJob();
}

void SessionController::connectionLost(bool stopProbing) {
    m_doc.loggedIn = 0;
    if (stopProbing) {
        keepAliveRunning(false);
        m_idleTicks = 0;
    }
    m_view.sessionChanged();
}

// ---- Timer 1 ----

SessionController::KeepAliveStep SessionController::keepAliveTick(bool downloadWindowOpen) {
    if (!m_backupRunning) {
        // A transfer in progress is activity; probing would cut into its replies.
        if (downloadWindowOpen || m_worker.busy()) {
            m_idleTicks = 0;
            return KeepAliveStep::Nothing;
        }
        pump();
        // A log-out that ran meanwhile left nothing to probe.
        if (ftp().IsLoggedIn() && ftp().ProbePort() != CFtpMng::kAnswered) {
            return KeepAliveStep::ConnectionLost;
        }
    }
    if (m_doc.loggedIn != 0 && ++m_idleTicks >= m_services.timing.idleLogOutTicks) {
        keepAliveRunning(false);
        m_idleTicks = 0;
        return KeepAliveStep::IdleLogOut;
    }
    return KeepAliveStep::Nothing;
}

void SessionController::operationStarted() {
    keepAliveRunning(false);
    m_idleTicks = 0;
    pump();
}

void SessionController::operationFinished() {
    m_idleTicks = 0;
    keepAliveRunning(true);
}

// After a QUIT timer 1 stays off until the next log-in.
void SessionController::loggedOut() {
    keepAliveRunning(false);
    m_idleTicks = 0;
    pump();
}

void SessionController::keepAliveRunning(bool running) {
    m_view.setKeepAliveTimer(running);
}

// ---- The always-on worker ----

void SessionController::pauseWorker(bool pause) {
    m_worker.pause(
        pause, [this] { pump(); }, sleepFor,
        std::chrono::milliseconds(m_services.timing.pauseHandshakeStepMs));
}

void SessionController::startWorker(std::function<void()> body) {
    m_worker.clearStopRequest();
    m_workerThread = std::thread(std::move(body));
    m_worker.markStarted();
}

// ---- Timer 2 ----

void SessionController::setBackupWatch(bool armed) {
    m_watch = armed;
    restartBackupWatch();
}

void SessionController::restartBackupWatch() {
    m_view.setBackupTimer(false);
    if (m_watch) {
        m_view.setBackupTimer(true);
    }
}

void SessionController::runCommand(const std::function<void()>& command) {
    m_view.setBackupTimer(false);
    command();
    if (m_backupPending) {
        m_backupPending = false;
        runDueBackup();
    }
    restartBackupWatch();
}

void SessionController::backupTimerTick() {
    m_view.setBackupTimer(false);
    if (backupDue() && askBackupNow()) {
        runDueBackup();
    }
    restartBackupWatch();
}

bool SessionController::acceptDueBackupInDialog() {
    if (!backupDue() || !askBackupNow()) {
        return false;
    }
    m_backupPending = true;
    return true;
}

void SessionController::checkOverdueBackup() {
    m_backupRunning = false;
    m_watch = true;
    if (m_backup.askOverdue && backupDue()) {
        if (m_backup.askOverdue()) {
            m_backupAccepted = true;
            m_completionMessage = true;
            runDueBackup();
        } else {
            m_backupAccepted = false;
            m_watch = false;
        }
    }
    restartBackupWatch();
}

bool SessionController::backupDue() const {
    return m_backup.due && m_backup.due();
}

// The question may come while the user is away; it answers itself, and then no completion
// message waits for anybody.
bool SessionController::askBackupNow() {
    m_completionMessage = true;
    m_backupAccepted = m_backup.ask && m_backup.ask(m_completionMessage);
    return m_backupAccepted;
}

void SessionController::runDueBackup() {
    if (!m_backupAccepted || !m_backup.run) {
        return;
    }
    m_backupAccepted = false;
    m_backupRunning = true;
    if (!m_backup.run(m_completionMessage)) {
        m_watch = true;
    }
    m_backupRunning = false;
}

// ---- Exit ----

void SessionController::backupBeforeExit() {
    m_view.setBackupTimer(false);
    m_backupAccepted = true;
    m_completionMessage = false;
    runDueBackup();
}

void SessionController::shutDown() {
    pump();
    m_view.setBackupTimer(false);
    keepAliveRunning(false);
    cancelFlag().store(1);
    m_worker.stop([this] { pump(); }, sleepFor,
                  std::chrono::milliseconds(m_services.timing.exitWorkerStopStepMs));
    if (m_workerThread.joinable()) {
        m_workerThread.join();
    }
}

// ---- Commands ----

bool SessionController::enabled(int commandId, CommandFacts facts) const {
    facts.loggedIn = m_doc.loggedIn != 0;
    return CommandTable::enabled(commandId, facts);
}

}  // namespace orven
