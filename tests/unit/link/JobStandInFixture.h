#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "LinkFixture.h"
#include "link/CFtpMng.h"
#include "link/Environment.h"
#include "link/JobEnvironment.h"
#include "mainunit/MainUnitServer.h"
#include "platform/FileOps.h"
#include "platform/ManualClock.h"
#include "platform/ProfileFile.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {

// Jobs and their loops against the main unit stand-in on a loopback port, with a scripted
// user, a store folder and an ORVEN.ini of their own.
class JobStandInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mainunit::MainUnitOptions options;
        options.root = dir / "root";
        server = std::make_unique<mainunit::MainUnitServer>(options);
        timing = quickTiming();
        timing.reconnectWaitSteps = 1;
        timing.reconnectWaitStepMs = 1;
        FtpEnvironment given = givenServices(&ui, timing, cancel, dir.path());
        given.clock = &clock;
        given.fileSystem = &fileSystem;
        environment = std::make_unique<Environment>(given);
        ftp = &environment->ftp();
        env = environment->job(
            {"127.0.0.1", "maint", std::string(mainunit::MainUnitOptions::kDefaultPassword), 0},
            &settings);
    }

    // Starts serving what the test put under the root, and logs in.
    void startAndLogIn() {
        ASSERT_TRUE(server->start());
        env.login.port = server->port();
        ASSERT_EQ(ftp->Login("127.0.0.1", env.login.user, env.login.password, server->port()),
                  LoginResult::LoggedIn);
    }

    static std::string be32(std::uint32_t v) {
        return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                static_cast<char>(v)};
    }

    // A message as the main unit keeps it, under a virtual folder such as "/rusuroku/0101".
    void addMessage(const std::string& folder, const std::string& stem, std::size_t voiceBytes) {
        std::string header(256, '\0');
        header.replace(0, stem.size() + 6, stem + ".vmdat");
        header.replace(64, 16, "Zu-KA Voice-data");
        const std::string voice(voiceBytes, 'v');
        const std::string data = header + be32(static_cast<std::uint32_t>(voice.size())) + voice;
        const std::filesystem::path real =
            dir / "root" / std::filesystem::path(folder).relative_path();
        std::filesystem::create_directories(real);
        ASSERT_TRUE(FileOps::replaceFileAtomically(real / (stem + ".vminf"), header));
        ASSERT_TRUE(FileOps::replaceFileAtomically(real / (stem + ".vmdat"), data));
    }

    std::filesystem::path box(const std::string& kind, const std::string& name) {
        std::filesystem::path folder = store / kind / name;
        std::filesystem::create_directories(folder);
        return folder;
    }

    static bool stored(const std::filesystem::path& folder, const std::string& stem) {
        return std::filesystem::exists(folder / (stem + ".vminf"));
    }

    TempDir dir;
    std::filesystem::path store = dir / "store";
    Timing timing;
    std::atomic<int> cancel{0};
    ScriptedUi ui;
    ManualClock clock;
    FakeFileSystem fileSystem;
    ProfileFile settings{dir / "ORVEN.ini"};
    std::unique_ptr<mainunit::MainUnitServer> server;
    std::unique_ptr<Environment> environment;
    CFtpMng* ftp = nullptr;  // the environment's
    JobEnvironment env;
};

}  // namespace orven::test
