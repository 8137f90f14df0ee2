#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "link/BackupPlan.h"
#include "link/BackupRecordWriter.h"

namespace orven {

// The record of backed-up months, backup_info.ini in a BU_ folder: per month when and
// whether it was backed up completely. Where the file lies and how its section is named
// depend on the backup unit. A month reads as complete only with "完了"; a missing file,
// section or key reads as not complete.
class BackupRecord : public BackupRecordWriter {
  public:
    static constexpr std::string_view kFileName = "backup_info.ini";

    explicit BackupRecord(BackupPlan plan) : m_plan(std::move(plan)) {}

    // month "YYYYMM"; time "YYYYMMDDhhmm", stored as "YYYY/MM/DD hh:mm". False when the
    // file could not be written.
    bool writeCompletion(std::string_view month, std::string_view time, bool complete,
                         Entry entry = Entry::Boxes);
    bool isComplete(std::string_view month, Entry entry = Entry::Boxes) const;

    // Only the flag: the time of the last completion stays.
    bool writeIncomplete(std::string_view month, Entry entry) override;

    std::filesystem::path fileFor(std::string_view month) const;
    std::string sectionFor(std::string_view month) const;
    // "%s/%s/%s %s:%s" of the twelve digits; empty when the text is not twelve digits.
    static std::string completionText(std::string_view time);

  private:
    bool writeFlag(std::string_view month, Entry entry, std::string_view value);
    bool write(std::string_view month, std::string_view key, std::string_view value);

    BackupPlan m_plan;
};

}  // namespace orven
