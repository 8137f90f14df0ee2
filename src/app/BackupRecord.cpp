#include "app/BackupRecord.h"

#include <algorithm>
#include <system_error>

#include "platform/ProfileFile.h"
#include "resources/Texts.h"

namespace orven {
namespace {

constexpr std::string_view kSection = "BACKUPINF";
constexpr std::string_view kTimeKey = "KANRYOUBI";

std::string_view flagKey(BackupRecordWriter::Entry entry) {
    return entry == BackupRecordWriter::Entry::Boxes ? "YFLAG" : "SFLAG";
}

std::string monthFolder(std::string_view month) {
    return "BU_" + std::string(month);
}

ProfileFile open(const std::filesystem::path& file) {
    return ProfileFile(file, ProfileFile::Encoding::Cp932);
}

}  // namespace

std::filesystem::path BackupRecord::fileFor(std::string_view month) const {
    std::string folder = monthFolder(month);
    if (m_plan.unit == BackupPlan::Yearly) {
        folder = m_plan.yearlyFolder;
    } else if (m_plan.unit != BackupPlan::Monthly) {
        folder = m_plan.allFolder;
    }
    return m_plan.base / folder / kFileName;
}

std::string BackupRecord::sectionFor(std::string_view month) const {
    if (m_plan.unit == BackupPlan::Monthly) {
        return std::string(kSection);
    }
    return std::string(kSection) + "_" + monthFolder(month);
}

std::string BackupRecord::completionText(std::string_view time) {
    const bool digits = time.size() == 12 && std::all_of(time.begin(), time.end(), [](char c) {
                            return c >= '0' && c <= '9';
                        });
    if (!digits) {
        return {};
    }
    const std::string t(time);
    return t.substr(0, 4) + "/" + t.substr(4, 2) + "/" + t.substr(6, 2) + " " + t.substr(8, 2) +
           ":" + t.substr(10, 2);
}

bool BackupRecord::writeCompletion(std::string_view month, std::string_view time, bool complete,
                                   Entry entry) {
    if (!writeFlag(month, entry,
                   complete ? text::kBackupRecordComplete : text::kBackupRecordIncomplete)) {
        return false;
    }
    // Linux has no hidden attribute; the name stays as it is so stores move to Windows.
    return write(month, kTimeKey, completionText(time));
}

bool BackupRecord::writeIncomplete(std::string_view month, Entry entry) {
    return writeFlag(month, entry, text::kBackupRecordIncomplete);
}

bool BackupRecord::isComplete(std::string_view month, Entry entry) const {
    try {
        return open(fileFor(month)).getString(sectionFor(month), flagKey(entry)) ==
               text::kBackupRecordComplete;
    } catch (...) {
        return false;
    }
}

bool BackupRecord::writeFlag(std::string_view month, Entry entry, std::string_view value) {
    return write(month, flagKey(entry), value);
}

bool BackupRecord::write(std::string_view month, std::string_view key, std::string_view value) {
    const std::filesystem::path file = fileFor(month);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    try {
        return open(file).writeString(sectionFor(month), key, value);
    } catch (...) {
        return false;
    }
}

}  // namespace orven
