#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/JobEnvironment.h"
#include "link/JobResult.h"
#include "platform/ProfileFile.h"

namespace orven {

// What a run of the download loops came to, for whoever reports it (dialog or command line).
struct DownloadSummary {
    // The last box's result that counted; Done for the ones the loops go on after.
    JobResult result = JobResult::Done;
    int chosen = 0;             // messages chosen for download, all boxes
    int stored = 0;             // messages stored, all boxes
    bool filesMissing = false;  // some box answered 550: requested files were gone
    bool diskFull = false;      // a box stopped with DiskFull
    bool partial = false;       // fewer stored than chosen, neither files gone nor disk full
    bool saw555 = false;        // the main unit cannot delete after download
    bool cancelled = false;     // the cancel flag was set when the loop ended
    bool refreshList = false;   // all done: the message list should be read again
    // Boxes (remote directories) whose deletion after download was held back.
    std::vector<std::string> deletionHeldBack;
};

// The loops that run the box download job box by box: download everything, the boxes the
// user chose, or the system response messages. They open the progress dialog, count the
// per-box results and tell the user how it went, all through env.ui. The session must be
// logged in; a communication failure logs it out.
class DownloadFrontEnd {
  public:
    enum class Kind { InfoAndVoice, InfoOnly };

    // settings: ORVEN.ini, where the per-box deletion switches are turned off after a 555;
    // may be null.
    DownloadFrontEnd(JobEnvironment& env, ProfileFile* settings)
        : m_env(env), m_settings(settings) {}

    // Every box folder found locally under the store, then the system response messages.
    DownloadSummary downloadAll(const std::filesystem::path& store, Kind kind);
    // The chosen answering-machine boxes, then (unless cancelled or after a communication
    // failure) the extension boxes.
    DownloadSummary downloadChosen(const std::filesystem::path& store, Kind kind,
                                   const std::vector<std::string>& answeringBoxes,
                                   const std::vector<std::string>& extensionBoxes);
    // The system response messages only, always with voice data.
    DownloadSummary downloadResponses(const std::filesystem::path& store);

  private:
    struct Target {
        std::filesystem::path localBox;
        std::string remoteDir;
    };
    class Session;

    static std::vector<Target> targetsOf(const std::filesystem::path& store, std::string_view kind,
                                         const std::vector<std::string>& names);
    // Runs the targets until one stops the loop; false when the loop stopped.
    bool runGroup(Session& session, const std::vector<Target>& targets, Kind kind);
    JobResult runOne(const Target& target, Kind kind, int& chosen, int& stored);
    // true: go on with the next box.
    bool countResult(DownloadSummary& summary, JobResult result);
    void switchAutoDeleteOff(const std::filesystem::path& store);
    void report(DownloadSummary& summary);
    void reportHeldBack(const DownloadSummary& summary);
    void show(std::string_view text, std::string_view title, Icon icon);

    JobEnvironment& m_env;
    ProfileFile* m_settings;
};

}  // namespace orven
