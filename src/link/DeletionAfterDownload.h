#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "link/JobEnvironment.h"
#include "store/CFileMng.h"

namespace orven {

// The one wildcard DELE after a download removes every message of the box on the main unit.
// It is sent only when every message of the listing is stored completely on the PC and on
// its disk, so a message that did not arrive (a bundle that ended early, a message left out,
// one outside a backup period) or that a power cut could still take is never lost; the next
// run tries again.
class DeletionAfterDownload {
  public:
    struct Listed {
        std::string infoName;               // "<stem>.vminf" as listed
        std::filesystem::path localFolder;  // where it is (or should be) stored
    };

    DeletionAfterDownload(JobEnvironment& env, CFileMng& store) : m_env(env), m_store(store) {}

    // remoteDir is "/rusuroku/<box>" or "/naisen/<box>"; voiceWanted: both files must be
    // stored. Returns result unchanged, or 555 when the main unit answered the DELE 550.
    // When the box's deletion switch is off, or a listed message is not stored completely,
    // nothing is sent. After a DELE, messages no longer listed get their local record
    // updated and the messagesLeft hook hears of it (when notify).
    int run(const std::string& remoteDir, const std::vector<Listed>& listed, bool voiceWanted,
            bool notify, int result);

    // Both files of the message are in its folder (the information file alone when no voice
    // data was asked for).
    static bool storedCompletely(const Listed& message, bool voiceWanted);
    static bool allStored(const std::vector<Listed>& listed, bool voiceWanted);

  private:
    void markLeft(const std::string& remoteDir, const std::vector<Listed>& listed,
                  const std::set<std::string>& stillListed, bool notify);
    bool refreshRecord(const std::filesystem::path& info) const;

    JobEnvironment& m_env;
    CFileMng& m_store;
};

}  // namespace orven
