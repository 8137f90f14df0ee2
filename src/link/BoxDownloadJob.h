#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "link/DeletionAfterDownload.h"
#include "link/JobEnvironment.h"
#include "link/JobResult.h"
#include "store/CFileMng.h"

namespace orven {

// Brings the messages of one box that are not yet on the PC into its box folder: a request
// list stored in the box directory, one bundle fetched with a wildcard RETR and unpacked.
// Stopped and DeleteUnsupported come only from DownloadBox (Stopped in worker mode only);
// DownloadMessages lists nothing, so it never gives NoSuchBox.
class BoxDownloadJob {
  public:
    explicit BoxDownloadJob(JobEnvironment& env) : m_env(env) {}

    // Information and voice data; workerMode: the always-on download runs it.
    JobResult DownloadBox(const std::filesystem::path& localBox, int& chosen,
                          const std::string& remoteDir, int& stored, bool workerMode, bool notify);
    // Information only.
    JobResult DownloadBoxInfo(int& chosen, int& stored, const std::string& remoteDir,
                              const std::filesystem::path& localBox);
    // Chosen messages again (".vmdat" names), with voice data.
    JobResult DownloadMessages(const std::filesystem::path& localBox,
                               const std::vector<std::string>& vmdatNames,
                               const std::string& remoteDir);

  private:
    using path = std::filesystem::path;

    // The messages a listing asks for, and every message it showed.
    struct Selection {
        std::vector<std::string> names;
        std::uint64_t estimate = 0;  // bytes they will take on the PC
        std::vector<DeletionAfterDownload::Listed> listed;
    };
    // One request list / bundle exchange with the main unit.
    struct Exchange {
        path localBox;
        std::string remoteDir;
        bool voice = true;
        bool workerMode = false;
        bool response = false;  // system response messages: a newer copy replaces the old
    };

    // The result of an exchange step, or none when the exchange broke and is tried again
    // after a reconnection.
    using StepResult = std::optional<JobResult>;

    JobResult downloadBox(CFileMng& store, const Exchange& exchange, bool notify, int& chosen,
                          int& stored);
    JobResult downloadBoxInfo(CFileMng& store, const Exchange& exchange, int& chosen, int& stored);
    JobResult downloadMessages(CFileMng& store, const Exchange& exchange,
                               const std::vector<std::string>& names);

    // Done with the listing in text, NoSuchBox, Cancelled, or what the reconnection gave.
    JobResult listWithReconnection(std::string& text, const std::string& remoteDir, bool namesOnly);
    // False when the stored copies of a response message could not be looked at.
    bool selectMessages(const CFileMng& store, const std::string& listing, const Exchange& exchange,
                        Selection& selection) const;
    bool selectResponse(const CFileMng& store, const path& localBox, const std::string& name,
                        bool& wanted) const;
    Selection selectInformation(const std::string& listing, const Exchange& exchange) const;
    bool hasRoom(const path& localBox, std::uint64_t needed) const;

    JobResult transfer(CFileMng& store, const Exchange& exchange,
                       const std::vector<std::string>& names, int& stored);
    StepResult fetchBundle(CFileMng& store, const Exchange& exchange,
                           const std::vector<std::string>& names, path& bundle);
    StepResult storeRequest(CFileMng& store, const Exchange& exchange,
                            const std::vector<std::string>& names, path& request);
    JobResult unpack(CFileMng& store, const Exchange& exchange, const path& bundle, int& stored);
    void setCancel();
    void pump() const;

    JobEnvironment& m_env;
};

}  // namespace orven
