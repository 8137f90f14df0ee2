#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/BackupRecord.h"
#include "platform/ProfileFile.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

BackupPlan plan(const std::filesystem::path& base, int unit) {
    BackupPlan p;
    p.unit = unit;
    p.base = base;
    p.monthlyFolders = {"BU_202311", "BU_202312", "BU_202401"};
    p.yearlyFolder = "BU_2024";
    return p;
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(BackupRecordTest, FileAndSectionFollowTheUnit) {
    TempDir dir;
    EXPECT_EQ(BackupRecord(plan(dir.path(), 0)).fileFor("202312"),
              dir / "BU_202312" / "backup_info.ini");
    EXPECT_EQ(BackupRecord(plan(dir.path(), 0)).sectionFor("202312"), "BACKUPINF");
    EXPECT_EQ(BackupRecord(plan(dir.path(), 1)).fileFor("202312"),
              dir / "BU_2024" / "backup_info.ini");
    EXPECT_EQ(BackupRecord(plan(dir.path(), 1)).sectionFor("202312"), "BACKUPINF_BU_202312");
    EXPECT_EQ(BackupRecord(plan(dir.path(), 2)).fileFor("202312"),
              dir / "BU_ALL" / "backup_info.ini");
}

TEST(BackupRecordTest, CompletionIsWrittenInCp932AndReadBack) {
    TempDir dir;
    BackupRecord record(plan(dir.path(), 0));
    EXPECT_FALSE(record.isComplete("202401"));  // no file yet
    ASSERT_TRUE(record.writeCompletion("202401", "202401310905", true));
    EXPECT_TRUE(record.isComplete("202401"));
    EXPECT_FALSE(record.isComplete("202401", BackupRecordWriter::Entry::SystemMessages));
    EXPECT_FALSE(record.isComplete("202312"));

    const std::string bytes = bytesOf(dir / "BU_202401" / "backup_info.ini");
    EXPECT_NE(bytes.find("KANRYOUBI=2024/01/31 09:05"), std::string::npos);
    EXPECT_NE(bytes.find("YFLAG=\x8A\xAE\x97\xB9"), std::string::npos);  // "完了" in CP932

    // A failure keeps the time of the last completion but is no longer complete.
    ASSERT_TRUE(record.writeIncomplete("202401", BackupRecordWriter::Entry::Boxes));
    EXPECT_FALSE(record.isComplete("202401"));
    EXPECT_EQ(
        ProfileFile(dir / "BU_202401" / "backup_info.ini").getString("BACKUPINF", "KANRYOUBI"),
        "2024/01/31 09:05");
}

TEST(BackupRecordTest, YearlyMonthsShareOneFileWithoutMixingUp) {
    TempDir dir;
    BackupRecord record(plan(dir.path(), 1));
    ASSERT_TRUE(record.writeCompletion("202312", "202401020300", true));
    ASSERT_TRUE(record.writeCompletion("202401", "202401020300", false));
    EXPECT_TRUE(record.isComplete("202312"));
    EXPECT_FALSE(record.isComplete("202401"));
    const ProfileFile file(dir / "BU_2024" / "backup_info.ini");
    EXPECT_EQ(file.getString("BACKUPINF_BU_202401", "YFLAG"), "未完");
}

TEST(BackupRecordTest, OnlyTwelveDigitsMakeACompletionText) {
    EXPECT_EQ(BackupRecord::completionText("202402291359"), "2024/02/29 13:59");
    EXPECT_EQ(BackupRecord::completionText("20240229135"), "");
    EXPECT_EQ(BackupRecord::completionText("2024022913x9"), "");
}

}  // namespace
}  // namespace orven::test
