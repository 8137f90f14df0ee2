#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "link/JobEnvironment.h"
#include "link/JobResult.h"
#include "store/CFileMng.h"

namespace orven {

// The one wildcard DELE after a download removes every message of the box on the main unit.
// Right before it the box is listed afresh, and the DELE goes out only when every message
// that listing shows is stored completely on the PC and on its disk. A message that did not
// arrive (a bundle that ended early, a message left out, one outside a backup period, one
// recorded meanwhile) or that a power cut could still take is never lost: the box stays on
// the main unit, the user hears why, and the next run tries again.
class DeletionAfterDownload {
  public:
    struct Listed {
        std::string infoName;               // "<stem>.vminf" as listed
        std::filesystem::path localFolder;  // where it is (or should be) stored
    };
    // The folder the PC keeps a message of the box in, given its stem; empty when the PC
    // keeps it nowhere (a backup month without a folder).
    using Locator = std::function<std::filesystem::path(const std::string& stem)>;

    DeletionAfterDownload(JobEnvironment& env, CFileMng& store) : m_env(env), m_store(store) {}

    // remoteDir is "/rusuroku/<box>" or "/naisen/<box>"; listed: the messages the job's own
    // listing showed; voiceWanted: both files must be stored. Returns result unchanged, or
    // DeleteUnsupported when the main unit answered the DELE "550". When the box's deletion switch
    // is off, the fresh listing fails, or a message it shows is not stored completely, no DELE is
    // sent (the deletionHeldBack hook hears of the last case). After a DELE, messages no
    // longer listed get their local record updated and the messagesLeft hook hears of it
    // (when notify).
    JobResult run(const std::string& remoteDir, const std::vector<Listed>& listed,
                  const Locator& locate, bool voiceWanted, bool notify, JobResult result);

    // Both files of the message are in its folder (the information file alone when no voice
    // data was asked for).
    static bool storedCompletely(const Listed& message, bool voiceWanted);

  private:
    enum class Check { AllStored, HeldBack, NotListed };

    // Lists the box afresh and adds what it shows to `messages`.
    Check checkAllStored(const std::string& remoteDir, const Locator& locate, bool voiceWanted,
                         std::vector<Listed>& messages);
    bool flush(const std::vector<Listed>& messages) const;
    void markLeft(const std::string& remoteDir, const std::vector<Listed>& messages,
                  const std::set<std::string>& stillListed, bool notify);
    bool refreshRecord(const std::filesystem::path& info) const;

    JobEnvironment& m_env;
    CFileMng& m_store;
};

}  // namespace orven
