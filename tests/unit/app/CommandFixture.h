#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/CommandContext.h"
#include "app/SessionController.h"
#include "mainunit/DemoData.h"
#include "mainunit/MainUnitServer.h"
#include "platform/ManualClock.h"
#include "platform/ProfileFile.h"
#include "support/QuickTiming.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {

// The window's side of a session, for commands run without one.
class QuietView : public SessionView {
  public:
    void setKeepAliveTimer(bool) override {}
    void setBackupTimer(bool) override {}
    void sessionChanged() override {}
};

// A command's world: a session with the main unit stand-in on a loopback port, a scripted
// user, a data folder "data/" with the open store "store", an ORVEN.ini and a holding folder,
// all in a temporary folder.
class CommandTest : public ::testing::Test {
  protected:
    CommandTest() {
        timing.pauseHandshakeStepMs = 1;
        timing.reconnectWaitSteps = 1;
        timing.reconnectWaitStepMs = 1;
        std::filesystem::create_directories(dir / "data");
        doc.dataFolder = (dir / "data").string() + "/";
        doc.currentFolderName = "store";
        doc.sessionAddress = "127.0.0.1";
        doc.sessionUser = "maint";
        doc.sessionPassword = std::string(mainunit::MainUnitOptions::kDefaultPassword);
    }

    // The stand-in serving the demo boxes and messages (seeded) or an empty root.
    void startMainUnit(bool seeded = true, mainunit::MainUnitOptions options = {}) {
        options.root = dir / "root";
        if (seeded) {
            ASSERT_GT(DemoData::seed(options.root, LocalTime::make(2026, 12, 1, 9, 30)), 0);
        }
        server = std::make_unique<mainunit::MainUnitServer>(options);
        ASSERT_TRUE(server->start());
        makeSession(server->port());
    }

    void logIn() { ASSERT_EQ(session->reconnect(), LoginResult::LoggedIn); }

    // A session that reaches nothing: log-ins fail at once.
    void offline() { makeSession(1); }

    std::filesystem::path store() const { return doc.storeFolder(); }

    TempDir dir;
    Timing timing = quickTiming();
    // Names of dated folders and request lists; tests set the moment they need.
    ManualClock clock{LocalTime::make(2026, 12, 8, 9, 30)};
    ScriptedUi ui;
    CORVENDoc doc;
    QuietView view;
    ProfileFile settings{dir / "ORVEN.ini"};
    std::unique_ptr<mainunit::MainUnitServer> server;
    std::unique_ptr<SessionController> session;
    std::unique_ptr<CommandContext> context;

  private:
    void makeSession(int port) {
        session = std::make_unique<SessionController>(
            SessionController::Services{ui, timing, dir.path(), port, nullptr, nullptr, &clock},
            doc, view);
        context = std::make_unique<CommandContext>(
            CommandContext{*session, doc, settings, ui, {}, dir / "holding"});
    }
};

}  // namespace orven::test
