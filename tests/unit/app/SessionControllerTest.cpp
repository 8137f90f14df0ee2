#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CommandIds.h"
#include "app/SessionController.h"
#include "mainunit/MainUnitServer.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

using Step = SessionController::KeepAliveStep;

// Records what the session asks of its window.
class RecordingView : public SessionView {
  public:
    void setKeepAliveTimer(bool running) override { keepAlive = running; }
    void setBackupTimer(bool running) override { backupTimer = running; }
    void sessionChanged() override { ++changes; }

    bool keepAlive = false;
    bool backupTimer = false;
    int changes = 0;
};

class SessionControllerTest : public ::testing::Test {
  protected:
    SessionControllerTest() {
        timing.replyTimeoutMs = 2000;
        timing.dataAcceptTimeoutMs = 2000;
        timing.pauseHandshakeStepMs = 1;
        timing.exitWorkerStopStepMs = 1;
        timing.idleLogOutTicks = 3;
    }

    // A session logged in to the stand-in with the fields of the document record.
    void logIn() {
        mainunit::MainUnitOptions options;
        options.root = dir / "root";
        server = std::make_unique<mainunit::MainUnitServer>(options);
        ASSERT_TRUE(server->start());
        session = std::make_unique<SessionController>(
            SessionController::Services{ui, timing, dir.path(), server->port()}, doc, view);
        doc.sessionAddress = "127.0.0.1";
        doc.sessionUser = "maint";
        doc.sessionPassword = std::string(mainunit::MainUnitOptions::kDefaultPassword);
        ASSERT_EQ(session->reconnect(), LoginResult::LoggedIn);
    }

    std::unique_ptr<SessionController> offline() {
        return std::make_unique<SessionController>(
            SessionController::Services{ui, timing, dir.path(), 1}, doc, view);
    }

    TempDir dir;
    Timing timing;
    ScriptedUi ui;
    CORVENDoc doc;
    RecordingView view;
    std::unique_ptr<mainunit::MainUnitServer> server;
    std::unique_ptr<SessionController> session;
};

TEST_F(SessionControllerTest, EnableRulesFollowSessionListsAndFlags) {
    struct Case {
        int id;
        bool loggedIn;
        CommandFacts facts;
        bool enabled;
    };
    CommandFacts withLists;
    withLists.listsOpen = true;
    CommandFacts kindsAndList;
    kindsAndList.storeHasBoxKinds = true;
    kindsAndList.listActive = true;
    const std::vector<Case> cases = {
        {command::kSettings, false, {}, true},
        {command::kLogIn, false, {}, true},
        {command::kLogIn, true, {}, false},
        {command::kLogOut, true, {}, true},
        {command::kLogOut, false, {}, false},
        {command::kUpdate, true, {}, false},
        {command::kTile, false, {}, false},
        {command::kTile, false, withLists, true},
        {command::kCascade, false, withLists, true},
        {command::kBulkDownload, true, kindsAndList, true},
        {command::kBulkDownload, false, kindsAndList, false},
        {command::kSelectDownload, true, {}, false},
        {command::kWizard, false, {}, true},
        // Commands whose work is not wired yet never pretend to work.
        {command::kVoiceDownload, true, kindsAndList, false},
        {command::kMoveData, true, kindsAndList, false},
        {command::kDialogueLog, false, {}, true},
        {0, true, withLists, false},
    };
    auto controller = offline();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        doc.loggedIn = c.loggedIn ? 1 : 0;
        EXPECT_EQ(controller->enabled(c.id, c.facts), c.enabled);
    }
}

// The rules of the commands whose work comes later, so they are right when it does.
TEST(CommandTable, RulesOfTheDownloadsAndMessageCommands) {
    struct Case {
        int id;
        void (*set)(CommandFacts&);
        bool allowed;
    };
    const auto loggedIn = [](CommandFacts& f) { f.loggedIn = true; };
    const auto withKinds = [](CommandFacts& f) {
        f.loggedIn = true;
        f.storeHasBoxKinds = true;
    };
    const auto voice = [](CommandFacts& f) {
        f.loggedIn = true;
        f.flags.voiceDownload = true;
    };
    const auto upload = [](CommandFacts& f) {
        f.loggedIn = true;
        f.flags.upload = true;
    };
    const auto uploadInList = [](CommandFacts& f) {
        f.loggedIn = true;
        f.flags.upload = true;
        f.listActive = true;
    };
    const auto uploadLoggedOut = [](CommandFacts& f) {
        f.flags.upload = true;
        f.listActive = true;
    };
    const std::vector<Case> cases = {
        {command::kBulkDownload, loggedIn, false},  // the store lacks its box folders
        {command::kSelectDownload, withKinds, true},
        {command::kVoiceDownload, withKinds, false},
        {command::kVoiceDownload, voice, true},
        {command::kNotDownloaded, voice, true},
        {command::kUpload, upload, false},  // needs an active list as well
        {command::kUpload, uploadInList, true},
        {command::kUpload, uploadLoggedOut, false},
        {command::kSelectShow, uploadInList, true},
        {command::kBox, loggedIn, false},
        {command::kBox, [](CommandFacts& f) { f.folderLineFilled = true; }, true},
        {command::kFolderDownload, [](CommandFacts&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CommandFacts facts;
        c.set(facts);
        EXPECT_EQ(CommandTable::allowed(c.id, facts), c.allowed);
    }
}

TEST_F(SessionControllerTest, LogInLogOutAndReconnectUseTheOneClient) {
    logIn();
    EXPECT_EQ(doc.loggedIn, 1);
    EXPECT_TRUE(view.keepAlive);
    CFtpMng* const client = &session->ftp();

    session->logOut();
    EXPECT_EQ(doc.loggedIn, 0);
    EXPECT_FALSE(view.keepAlive);
    EXPECT_FALSE(session->ftp().IsLoggedIn());
    EXPECT_EQ(session->cancelFlag().load(), 0);  // the next command starts clean
    EXPECT_FALSE(session->worker().foregroundJob());
    EXPECT_EQ(server->commands().back(), "QUIT");

    EXPECT_EQ(session->reconnect(), LoginResult::LoggedIn);
    EXPECT_EQ(&session->ftp(), client);
    EXPECT_EQ(session->logIn("127.0.0.1", "maint", "wrong"), LoginResult::Refused);
    EXPECT_GE(view.changes, 3);
}

TEST_F(SessionControllerTest, KeepAliveProbesLogsOutWhenIdleAndNoticesALostLink) {
    logIn();
    // A download in progress is activity: no probe, the idle count starts again.
    EXPECT_EQ(session->keepAliveTick(false), Step::Nothing);
    EXPECT_EQ(session->idleTicks(), 1);
    EXPECT_EQ(session->keepAliveTick(true), Step::Nothing);
    EXPECT_EQ(session->idleTicks(), 0);
    session->worker().setBusy(true);
    EXPECT_EQ(session->keepAliveTick(false), Step::Nothing);
    EXPECT_EQ(session->idleTicks(), 0);
    session->worker().setBusy(false);

    // Any operation stops timer 1 and counts as activity.
    session->keepAliveTick(false);
    session->operationStarted();
    EXPECT_FALSE(view.keepAlive);
    session->operationFinished();
    EXPECT_TRUE(view.keepAlive);
    EXPECT_EQ(session->idleTicks(), 0);

    EXPECT_EQ(session->keepAliveTick(false), Step::Nothing);
    EXPECT_EQ(session->keepAliveTick(false), Step::Nothing);
    EXPECT_EQ(session->keepAliveTick(false), Step::IdleLogOut);
    EXPECT_FALSE(view.keepAlive);

    // The main unit went away: the probe finds no answer.
    server.reset();
    EXPECT_EQ(session->keepAliveTick(false), Step::ConnectionLost);
    session->connectionLost(true);
    EXPECT_EQ(doc.loggedIn, 0);
    EXPECT_FALSE(view.keepAlive);
}

TEST_F(SessionControllerTest, BackupWatchRunsDueBackupsAfterCommandsAndAtExit) {
    auto controller = offline();
    bool due = true;
    bool answer = true;
    std::vector<bool> runs;  // the completion message switch of each run
    controller->setBackupHooks({.due = [&] { return due; },
                                .ask = [&](bool&) { return answer; },
                                .askOverdue = [&] { return answer; },
                                .run =
                                    [&](bool message) {
                                        runs.push_back(message);
                                        return true;
                                    }});
    // Declining the overdue backup at start-up disarms the watch for the run.
    answer = false;
    controller->checkOverdueBackup();
    EXPECT_FALSE(controller->backupWatchArmed());
    EXPECT_FALSE(view.backupTimer);
    EXPECT_TRUE(runs.empty());

    answer = true;
    controller->setBackupWatch(true);
    EXPECT_TRUE(view.backupTimer);
    controller->backupTimerTick();
    EXPECT_EQ(runs, std::vector<bool>{true});

    // Accepted inside a dialog: the dialog closes and the backup runs once the command ends,
    // with timer 2 off meanwhile.
    bool timerDuringCommand = true;
    controller->runCommand([&] {
        timerDuringCommand = view.backupTimer;
        EXPECT_TRUE(controller->acceptDueBackupInDialog());
        EXPECT_EQ(runs.size(), 1u);
    });
    EXPECT_FALSE(timerDuringCommand);
    EXPECT_EQ(runs.size(), 2u);
    EXPECT_TRUE(view.backupTimer);

    due = false;
    controller->backupTimerTick();
    EXPECT_EQ(runs.size(), 2u);
    controller->backupBeforeExit();  // the end question's choice: no completion message
    EXPECT_EQ(runs.back(), false);
    EXPECT_TRUE(controller->backupOffered());
}

// The exit stops everything that could still touch the link, the worker last, and waits
// for it, so the settings are written by one thread alone.
TEST_F(SessionControllerTest, ShutDownCancelsAndStopsTheWorker) {
    auto controller = offline();
    std::atomic<bool> sawCancel{false};
    controller->startWorker([&] {
        while (!controller->worker().stopRequested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        sawCancel = controller->cancelFlag().load() == 1;
        controller->worker().markStopped();
    });
    view.keepAlive = true;
    view.backupTimer = true;
    controller->shutDown();
    EXPECT_TRUE(sawCancel);
    // The jobs the worker runs poll the same stop request.
    EXPECT_EQ(controller->environment().stopRequest().load(), 1);
    EXPECT_FALSE(view.keepAlive);
    EXPECT_FALSE(view.backupTimer);
}

}  // namespace
}  // namespace orven::test
