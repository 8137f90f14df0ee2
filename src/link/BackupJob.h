#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "link/BackupPlan.h"
#include "link/BackupRecordWriter.h"
#include "link/DeletionAfterDownload.h"
#include "link/JobEnvironment.h"
#include "link/JobResult.h"

namespace orven {

class CFileMng;

// Copies the messages of one box (or the system response messages) into the BU_ folders of
// the backup: the ones of the period that are not backed up yet, in one request list and one
// bundle. No reconnection: the scheduled backup repeats a failed box itself. A backup is never
// Stopped, and the system response messages never give DeleteUnsupported.
class BackupJob {
  public:
    // record may be null; it hears of months a failed transfer left incomplete.
    BackupJob(JobEnvironment& env, BackupPlan plan, BackupRecordWriter* record = nullptr)
        : m_env(env), m_plan(std::move(plan)), m_record(record) {}

    // remoteDir "/rusuroku/<box>" or "/naisen/<box>"; kind "rusuroku" or "naisen". The
    // messages go to "<BU_ folder>/<kind>/<boxName>/", so the BU_ folder opens as a store.
    JobResult BackupBox(const std::string& remoteDir, int& chosen, int& stored,
                        const std::string& kind, const std::string& boxName);
    // remoteDir "/outou/".
    JobResult BackupSystemMessages(int& chosen, int& stored, const std::string& remoteDir);

  private:
    struct Message {
        std::string stem;
        std::int64_t size = 0;
    };
    struct Wanted {
        std::vector<std::string> names;  // ".vmdat"
        std::vector<std::filesystem::path> folders;
        std::vector<std::string> months;
        std::uint64_t estimate = 0;
    };
    using Entry = BackupRecordWriter::Entry;

    JobResult listMessages(const std::string& remoteDir, std::vector<Message>& messages);
    JobResult chooseBoxMessages(const std::vector<Message>& messages, Wanted& wanted,
                                std::vector<DeletionAfterDownload::Listed>& listed);
    JobResult chooseResponses(CFileMng& store, const std::vector<Message>& messages,
                              const std::filesystem::path& folder, Wanted& wanted);
    static void want(Wanted& wanted, const Message& message, const std::filesystem::path& folder);
    JobResult checkSpace(const Wanted& wanted) const;
    JobResult exchange(CFileMng& store, const std::string& remoteDir, const Wanted& wanted,
                       Entry entry, int& stored);
    JobResult transfer(CFileMng& store, const std::string& remoteDir, const Wanted& wanted,
                       Entry entry, const std::filesystem::path& request, int& stored);
    void recordIncomplete(const Wanted& wanted, Entry entry);
    std::filesystem::path targetOf(const std::string& month) const;
    std::filesystem::path boxFolderOf(const std::string& month) const;
    bool makeFolder(const std::filesystem::path& folder) const;
    static std::string joinRemote(const std::string& dir, const std::string& name);
    bool cancelled() const { return m_env.cancelled(); }

    JobEnvironment& m_env;
    BackupPlan m_plan;
    BackupRecordWriter* m_record;
    std::string m_kind;
    std::string m_boxName;
};

}  // namespace orven
