#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliExit.h"
#include "cli/CliOptions.h"
#include "cli/TerminalUi.h"
#include "link/DownloadFrontEnd.h"
#include "link/Environment.h"
#include "link/JobEnvironment.h"
#include "link/ResponseUpload.h"
#include "platform/DialogueLog.h"
#include "platform/ProfileFile.h"
#include "store/FILESTS_INFO.h"

namespace orven {

// The subcommands of orven-cli on the same jobs as the desktop program. Each returns the
// program's exit status.
class CliCommands {
  public:
    using Exit = CliExit;

    // cancelFlag: the jobs' cancel flag, set by the signals too; signalled: not 0 once
    // SIGINT, SIGTERM or SIGHUP came, which the jobs never reset; settingsFile: ORVEN.ini
    // (deletion switches).
    CliCommands(CliOptions options, std::atomic<int>& cancelFlag, const std::atomic<int>& signalled,
                const std::filesystem::path& settingsFile);
    ~CliCommands();

    Exit run();

    // The download loops' summary as an exit status.
    static Exit exitOf(const DownloadSummary& summary);
    // One record as the tab-separated columns of the message list.
    static std::string listLine(const FILESTS_INFO& record,
                                const std::filesystem::path& dataFolder);
    static std::string listHeader();

  private:
    Exit folderDownload();
    Exit download();
    Exit upload();
    // The voice files of the outou folder's messages, in the order the scan found them.
    bool responseRows(std::vector<ResponseUpload::Row>& rows);
    Exit list();
    Exit checkAac();
    // kSuccess, or why there is no session.
    Exit logIn();
    Exit usage(const std::string& why);
    // The log --log and -v ask for; null for none. A --log file that cannot be opened is
    // noted in m_logProblem.
    std::unique_ptr<DialogueLog> makeDialogueLog();
    // What the environment is given: the terminal, the log, the store as the default folder.
    FtpEnvironment given(std::atomic<int>& cancelFlag);
    bool signalled() const { return m_signalled.load() != 0; }

    CliOptions m_options;
    const std::atomic<int>& m_signalled;
    TerminalUi m_ui;
    ProfileFile m_settings;
    std::string m_logProblem;  // why the --log file cannot be written; empty when it can
    std::unique_ptr<DialogueLog> m_dialogueLog;  // outlives the client, whose QUIT it logs
    Environment m_environment;                   // the system clock, the machine's files
    JobEnvironment m_env;
};

}  // namespace orven
