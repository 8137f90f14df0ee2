#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LinkFixture.h"
#include "link/BoxDownloadJob.h"
#include "link/CFtpMng.h"
#include "link/Environment.h"
#include "link/JobEnvironment.h"
#include "link/JobResult.h"
#include "mainunit/MainUnitServer.h"
#include "platform/FileOps.h"
#include "platform/ProfileFile.h"
#include "store/CFileMng.h"
#include "store/HeaderBlock.h"
#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace orven::test {

namespace fs = std::filesystem;
using mainunit::MainUnitFaults;
using mainunit::MainUnitOptions;
using mainunit::MainUnitServer;

inline constexpr const char* kBox = "/rusuroku/0101";
inline constexpr const char* kOther = "/rusuroku/0102";
inline constexpr const char* kA = "202401050930_FRI_0101_00001";
inline constexpr const char* kB = "202401061015_SAT_0101_00002";
inline constexpr const char* kC = "202401070800_SUN_0102_00001";
inline constexpr std::size_t kVoiceBytes = 1000;
// A voice data file of 256 + 4 + 1000 bytes takes no whole block, so it is estimated at 4352.
inline constexpr std::uint64_t kEstimatePerMessage = 4352;

// A ScriptedUi that also runs a test's hook whenever the code keeps the window alive.
class HookedUi : public ScriptedUi {
  public:
    void pump() override {
        ScriptedUi::pump();
        if (onPump) {
            onPump();
        }
    }
    std::function<void()> onPump;
};

class BoxDownloadJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        addMessage(kBox, kA, 2, 30);
        addMessage(kBox, kB, 3, 45);
        addMessage(kOther, kC, 4, 10);
        MainUnitOptions options;
        options.root = dir / "root";
        server = std::make_unique<MainUnitServer>(options);
        ASSERT_TRUE(server->start());
        timing.reconnectWaitSteps = 2;
        timing.reconnectWaitStepMs = 1;
        FtpEnvironment given = givenServices(&ftpUi, timing, cancel, dir.path());
        given.fileSystem = &fileSystem;
        given.stopRequest = &stop;
        environment = std::make_unique<Environment>(given);
        ftp = &environment->ftp();
        env = environment->job(
            {"127.0.0.1", "maint", std::string(MainUnitOptions::kDefaultPassword), server->port()},
            &settings);
        env.ui = &jobUi;  // the job's own pumps apart from the link's
        fs::create_directories(local);
        fs::create_directories(otherLocal);
        ASSERT_EQ(ftp->Login("127.0.0.1", "maint", env.login.password, server->port()),
                  LoginResult::LoggedIn);
    }

    void TearDown() override {
        // Whatever happened, no request list or bundle stays behind.
        EXPECT_TRUE(FileOps::glob(local, "*.*co").empty());
        EXPECT_TRUE(FileOps::glob(otherLocal, "*.*co").empty());
        ftpUi.onPump = nullptr;
        environment.reset();
        server.reset();
    }

    // A message as the main unit keeps it, recorded on the given January day.
    void addMessage(const std::string& folder, const std::string& stem, int day, int tenths,
                    int responseNumber = 0) {
        HeaderBlock block;
        if (responseNumber != 0) {
            block.setResponseNumber(static_cast<std::uint16_t>(responseNumber));
            block.setField(HeaderBlock::kBoxNumberAt, HeaderBlock::kBoxNumberSize,
                           stem.substr(18, 3));
        }
        block.setFileName(stem + ".vmdat");
        block.setSignature();
        block.setDate(LocalTime::make(2024, 1, day, 9, 30));
        block.setLengthTenths(static_cast<std::uint32_t>(tenths * 10));
        const std::string voice(kVoiceBytes, static_cast<char>('a' + day));
        const fs::path real = remote(folder);
        fs::create_directories(real);
        ASSERT_TRUE(FileOps::replaceFileAtomically(real / (stem + ".vminf"), block.str()));
        ASSERT_TRUE(FileOps::replaceFileAtomically(
            real / (stem + ".vmdat"), block.str() + HeaderBlock::bigEndian32(kVoiceBytes) + voice));
    }

    fs::path remote(const std::string& folder) const {
        return dir / "root" / fs::path(folder).relative_path();
    }

    void removeOnMainUnit(const std::string& folder, const std::string& stem) {
        fs::remove(remote(folder) / (stem + ".vminf"));
        fs::remove(remote(folder) / (stem + ".vmdat"));
    }

    JobResult download(const fs::path& box, const std::string& remoteDir, bool worker = false) {
        BoxDownloadJob job(env);
        return job.DownloadBox(box, chosen, remoteDir, stored, worker, true);
    }

    void switchDeletion(bool on) { ASSERT_TRUE(settings.writeInt("rusuroku", "0101", on)); }

    // Commands the stand-in received from now on.
    void mark() { m_mark = server->commands().size(); }
    std::vector<std::string> sinceMark() const {
        const auto all = server->commands();
        return {all.begin() + static_cast<std::ptrdiff_t>(m_mark), all.end()};
    }
    int sent(const std::string& prefix) const {
        const auto lines = sinceMark();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
            return line.rfind(prefix, 0) == 0;
        }));
    }
    bool serverSaw(const std::string& prefix) const {
        for (const std::string& line : server->commands()) {
            if (line.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    }
    // Once the stand-in has seen the command, the action runs (once) from the link's pump.
    void when(const std::string& prefix, std::function<void()> action) {
        auto done = std::make_shared<bool>(false);
        ftpUi.onPump = [this, prefix, action, done] {
            if (!*done && serverSaw(prefix)) {
                *done = true;
                action();
            }
        };
    }

    bool storedFully(const fs::path& box, const std::string& stem) const {
        return fs::exists(box / (stem + ".vminf")) && fs::exists(box / (stem + ".aac"));
    }

    FILESTS_INFO record(const fs::path& box, const std::string& stem) {
        FILESTS_INFO info = FILESTS_INFO::zeroed();
        EXPECT_EQ(CFileMng(env).ReadInfo(box / (stem + ".vminf"), info), 1);
        return info;
    }

    TempDir dir;
    fs::path local = dir / "store" / "rusuroku" / "0101";
    fs::path otherLocal = dir / "store" / "rusuroku" / "0102";
    Timing timing = quickTiming();
    std::atomic<int> cancel{0};
    std::atomic<int> stop{0};
    HookedUi ftpUi;
    HookedUi jobUi;
    FakeFileSystem fileSystem;
    ProfileFile settings{dir / "ORVEN.ini"};
    std::unique_ptr<MainUnitServer> server;
    std::unique_ptr<Environment> environment;
    CFtpMng* ftp = nullptr;  // the environment's
    JobEnvironment env;
    int chosen = -1;
    int stored = -1;

  private:
    std::size_t m_mark = 0;
};

}  // namespace orven::test
