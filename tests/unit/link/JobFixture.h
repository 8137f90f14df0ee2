#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "LinkFixture.h"
#include "link/CFtpMng.h"
#include "link/Environment.h"
#include "link/JobEnvironment.h"
#include "mainunit/MainUnitServer.h"
#include "store/FILESTS_INFO.h"
#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {

// A job against the main unit stand-in on a loopback port, with a scripted user and a fake
// file system; the client is logged in as "maint" and everything goes before the folder.
class MainUnitJobTest : public ::testing::Test {
  protected:
    MainUnitJobTest() {
        options.root = dir / "unit";
        server = std::make_unique<mainunit::MainUnitServer>(options);
        EXPECT_TRUE(server->start());
        FtpEnvironment given = givenServices(&ui, timing, cancel, dir.path());
        given.fileSystem = &fileSystem;
        environment = std::make_unique<Environment>(given);
        ftp = &environment->ftp();
        EXPECT_EQ(ftp->Login("127.0.0.1", "maint", "zuka", server->port()), LoginResult::LoggedIn);
        env = environment->job({"127.0.0.1", "maint", "zuka", server->port()});
    }
    ~MainUnitJobTest() override {
        environment.reset();
        server.reset();
    }

    static std::string be32(std::uint32_t v) {
        return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                static_cast<char>(v)};
    }
    static std::string headerBlock(const std::string& fileName) {
        std::string block(256, '\0');
        block.replace(0, fileName.size(), fileName);
        block.replace(64, 16, "Zu-KA Voice-data");
        return block;
    }
    std::filesystem::path onUnit(const std::string& virtualPath) const {
        return options.root / std::filesystem::path(virtualPath).relative_path();
    }
    // A message as the main unit keeps it, in folder ("/rusuroku/0101", "/outou").
    void addRemote(const std::string& folder, const std::string& stem, const std::string& voice) {
        const std::string header = headerBlock(stem + ".vmdat");
        writeFile(onUnit(folder + "/" + stem + ".vminf"), header);
        writeFile(onUnit(folder + "/" + stem + ".vmdat"), header + be32(voice.size()) + voice);
    }
    // A message as the PC keeps it: record + header block, and the AAC file.
    static void addLocal(const std::filesystem::path& folder, const std::string& stem,
                         const std::string& voice, std::uint8_t played = 0) {
        FILESTS_INFO record = FILESTS_INFO::zeroed();
        record.played = played;
        writeFile(folder / (stem + ".vminf"), record.toBytes() + headerBlock(stem + ".vmdat"));
        writeFile(folder / (stem + ".aac"), voice);
    }

    TempDir dir;
    Timing timing = quickTiming();
    std::atomic<int> cancel{0};
    ScriptedUi ui;
    FakeFileSystem fileSystem;
    mainunit::MainUnitOptions options;
    std::unique_ptr<mainunit::MainUnitServer> server;
    std::unique_ptr<Environment> environment;
    CFtpMng* ftp = nullptr;  // the environment's
    JobEnvironment env;
};

}  // namespace orven::test
