#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/TerminalUi.h"
#include "link/CFtpMng.h"
#include "link/DownloadFrontEnd.h"
#include "link/JobEnvironment.h"
#include "platform/LocalFileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/SystemClock.h"
#include "store/FILESTS_INFO.h"

namespace orven {

// The subcommands of orven-cli on the same jobs as the desktop program. Each returns the
// program's exit status.
class CliCommands {
  public:
    enum Exit {
        kSuccess = 0,
        kUsage = 2,
        kCommunication = 3,
        kDiskFull = 4,
        kCancelled = 5,
        kLocalFailure = 6
    };

    // cancelFlag: set by SIGINT; settingsFile: ORVEN.ini (deletion switches).
    CliCommands(CliOptions options, std::atomic<int>& cancelFlag,
                const std::filesystem::path& settingsFile);
    ~CliCommands();

    int run();

    // The download loops' summary as an exit status.
    static int exitOf(const DownloadSummary& summary);
    // One record as the tab-separated columns of the message list.
    static std::string listLine(const FILESTS_INFO& record,
                                const std::filesystem::path& dataFolder);
    static std::string listHeader();

  private:
    int folderDownload();
    int download();
    int upload();
    int list();
    int checkAac();
    int logIn();
    int usage(const std::string& why);

    CliOptions m_options;
    std::atomic<int>& m_cancel;
    TerminalUi m_ui;
    Timing m_timing;
    SystemClock m_clock;
    LocalFileSystem m_fileSystem;
    ProfileFile m_settings;
    std::unique_ptr<CFtpMng> m_ftp;
    JobEnvironment m_env;
};

}  // namespace orven
