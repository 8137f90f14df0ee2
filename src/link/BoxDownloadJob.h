#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "link/DeletionAfterDownload.h"
#include "link/JobEnvironment.h"
#include "store/CFileMng.h"

namespace orven {

// Brings the messages of one box that are not yet on the PC into its box folder: a request
// list stored in the box directory, one bundle fetched with a wildcard RETR and unpacked.
// Results: 0 done, -1 communication failure, -2 no such box, -3 cancelled (or stopped during
// the transfer), -4 no disk space, -5 stopped after the fetch (worker), -6 local failure,
// 550 the requested files are gone, 555 the main unit cannot delete after download.
class BoxDownloadJob {
  public:
    explicit BoxDownloadJob(JobEnvironment& env) : m_env(env) {}

    // Information and voice data; workerMode: the always-on download runs it.
    int DownloadBox(const std::filesystem::path& localBox, int& chosen,
                    const std::string& remoteDir, int& stored, bool workerMode, bool notify);
    // Information only.
    int DownloadBoxInfo(int& chosen, int& stored, const std::string& remoteDir,
                        const std::filesystem::path& localBox);
    // Chosen messages again (".vmdat" names), with voice data.
    int DownloadMessages(const std::filesystem::path& localBox,
                         const std::vector<std::string>& vmdatNames, const std::string& remoteDir);

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

    int downloadBox(CFileMng& store, const Exchange& exchange, bool notify, int& chosen,
                    int& stored);
    int downloadBoxInfo(CFileMng& store, const Exchange& exchange, int& chosen, int& stored);
    int downloadMessages(CFileMng& store, const Exchange& exchange,
                         const std::vector<std::string>& names);

    int listWithReconnection(std::string& text, const std::string& remoteDir, bool namesOnly);
    int selectMessages(const CFileMng& store, const std::string& listing, const Exchange& exchange,
                       Selection& selection) const;
    int selectResponse(const CFileMng& store, const path& localBox, const std::string& name,
                       bool& wanted) const;
    Selection selectInformation(const std::string& listing, const Exchange& exchange) const;
    bool hasRoom(const path& localBox, std::uint64_t needed) const;

    int transfer(CFileMng& store, const Exchange& exchange, const std::vector<std::string>& names,
                 int& stored);
    int fetchBundle(CFileMng& store, const Exchange& exchange,
                    const std::vector<std::string>& names, path& bundle);
    int storeRequest(CFileMng& store, const Exchange& exchange,
                     const std::vector<std::string>& names, path& request);
    int unpack(CFileMng& store, const Exchange& exchange, const path& bundle, int& stored);
    void setCancel();
    void pump() const;

    JobEnvironment& m_env;
};

}  // namespace orven
