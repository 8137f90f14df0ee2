#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "JobFixture.h"
#include "link/BackupJob.h"
#include "platform/ProfileFile.h"
#include "store/StoreNames.h"

namespace orven::test {
namespace {

constexpr const char* kBox = "/rusuroku/0101";
constexpr const char* kNov = "202311200930_MON_0101_00001";
constexpr const char* kDec = "202312050930_TUE_0101_00002";
constexpr const char* kJan = "202401051000_FRI_0101_00003";

class RecordedMonths : public BackupRecordWriter {
  public:
    bool writeIncomplete(std::string_view month, Entry entry) override {
        months.emplace_back(month);
        entries.push_back(entry);
        return true;
    }
    std::vector<std::string> months;
    std::vector<Entry> entries;
};

class BackupJobTest : public MainUnitJobTest {
  protected:
    BackupJobTest() {
        plan.firstMonth = "202312";
        plan.lastMonth = "202401";
        plan.unit = BackupPlan::Monthly;
        plan.monthlyFolders = {"BU_202311", "BU_202312", "BU_202401"};
        plan.yearlyFolder = "BU_2024";
        plan.base = base;
        env.settings = &settings;
    }
    ~BackupJobTest() override { EXPECT_TRUE(requestListsLeft().empty()); }

    JobResult backup() {
        server->clearCommands();
        return BackupJob(env, plan, &record).BackupBox(kBox, chosen, stored, "rusuroku", "0101");
    }
    void autoDelete() { settings.writeInt("rusuroku", "0101", 1); }
    bool stillOnUnit(const char* stem) const {
        return std::filesystem::exists(onUnit(std::string(kBox) + "/" + stem + ".vmdat"));
    }
    // The box folder inside a BU_ folder, where a store keeps box 0101.
    std::filesystem::path boxIn(const std::string& folder) const {
        return base / folder / "rusuroku" / "0101";
    }
    bool backedUp(const std::string& folder, const char* stem) const {
        return std::filesystem::exists(boxIn(folder) / (std::string(stem) + ".vminf")) &&
               std::filesystem::exists(boxIn(folder) / (std::string(stem) + ".aac"));
    }
    bool sent(const std::string& verb) const {
        const auto all = server->commands();
        return std::any_of(all.begin(), all.end(),
                           [&](const std::string& c) { return c.starts_with(verb); });
    }
    std::vector<std::filesystem::path> requestListsLeft() const {
        std::vector<std::filesystem::path> left;
        std::error_code ec;
        for (std::filesystem::recursive_directory_iterator it(base, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string ext = it->path().extension().string();
            if (ext == ".datco" || ext == ".infco") {
                left.push_back(it->path());
            }
        }
        return left;
    }

    std::filesystem::path base = dir / "backup";
    ProfileFile settings{dir / "ORVEN.ini"};
    BackupPlan plan;
    RecordedMonths record;
    int chosen = -1;
    int stored = -1;
};

TEST_F(BackupJobTest, OnlyMessagesOfThePeriodWithAFolderAreCopiedAndNoneIsDeleted) {
    addRemote(kBox, kNov, "november");
    addRemote(kBox, kDec, "december");
    addRemote(kBox, kJan, "january");
    plan.monthlyFolders = {"BU_202311", "BU_202312"};  // none prepared for January
    autoDelete();
    EXPECT_EQ(backup(), JobResult::Done);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(backedUp("BU_202312", kDec));
    EXPECT_EQ(readFile(boxIn("BU_202312") / (std::string(kDec) + ".aac")), "december");
    // The BU_ folder opens as a store, its box folder with a box information file.
    EXPECT_TRUE(StoreNames::isStore(base / "BU_202312"));
    EXPECT_TRUE(std::filesystem::exists(boxIn("BU_202312") / "inf.ini"));
    EXPECT_FALSE(backedUp("BU_202311", kNov));
    EXPECT_FALSE(std::filesystem::exists(base / "BU_202401"));
    // Outside the period or without a folder: never deleted, however the switch is set.
    EXPECT_FALSE(sent("DELE"));
    EXPECT_TRUE(stillOnUnit(kNov));
    EXPECT_TRUE(stillOnUnit(kJan));
}

TEST_F(BackupJobTest, BackedUpMessagesAreNotFetchedAgainAndTheBoxIsEmptiedOnceAllAreSafe) {
    addRemote(kBox, kDec, "december");
    addRemote(kBox, kJan, "january");
    addLocal(boxIn("BU_202312"), kDec, "december");
    EXPECT_EQ(backup(), JobResult::Done);
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(backedUp("BU_202401", kJan));

    autoDelete();
    mainunit::MainUnitFaults faults;
    faults.wildcardDeleteUnsupported = true;
    server->setFaults(faults);
    EXPECT_EQ(backup(), JobResult::DeleteUnsupported);

    server->setFaults({});
    EXPECT_EQ(backup(), JobResult::Done);
    EXPECT_EQ(chosen, 0);
    EXPECT_FALSE(sent("STOR"));
    EXPECT_TRUE(sent("DELE " + std::string(kBox) + "/*.vminf"));
    EXPECT_FALSE(stillOnUnit(kDec));
    EXPECT_FALSE(stillOnUnit(kJan));
}

TEST_F(BackupJobTest, A4096ByteFileNeedsTwoBlocksAndTheSpareBytes) {
    addRemote(kBox, kDec, std::string(4096 - 260, 'v'));  // the ".vmdat" is 4096 bytes
    fileSystem.setFreeSpace(base, 8192 + 4098 - 1);
    EXPECT_EQ(backup(), JobResult::DiskFull);
    EXPECT_FALSE(sent("STOR"));
    fileSystem.setFreeSpace(base, std::nullopt);
    EXPECT_EQ(backup(), JobResult::DiskFull);
    fileSystem.setFreeSpace(base, 8192 + 4098);
    EXPECT_EQ(backup(), JobResult::Done);
    EXPECT_TRUE(backedUp("BU_202312", kDec));
}

TEST_F(BackupJobTest, FailuresComeBackAsTheirResults) {
    EXPECT_EQ(BackupJob(env, plan).BackupBox("/rusuroku/0999", chosen, stored, "rusuroku", "0999"),
              JobResult::NoSuchBox);
    // A box name from the main unit that would lead out of the BU_ folder stores nothing.
    for (const auto& [kind, name] : std::vector<std::pair<std::string, std::string>>{
             {"rusuroku", ".."}, {"rusuroku", "a/b"}, {"..", "0101"}, {"outou", "0101"}}) {
        SCOPED_TRACE(kind + "/" + name);
        EXPECT_EQ(BackupJob(env, plan).BackupBox(kBox, chosen, stored, kind, name),
                  JobResult::LocalFailure);
        EXPECT_FALSE(std::filesystem::exists(base));
    }

    // Listed, but gone before the bundle was asked for.
    writeFile(onUnit(std::string(kBox) + "/" + kDec + ".vminf"), headerBlock(kDec));
    EXPECT_EQ(backup(), JobResult::FilesGone);
    std::filesystem::remove(onUnit(std::string(kBox) + "/" + kDec + ".vminf"));

    addRemote(kBox, kJan, "january");
    cancel = 1;
    EXPECT_EQ(backup(), JobResult::Cancelled);
    cancel = 0;
    EXPECT_TRUE(record.months.empty());

    ASSERT_EQ(ftp->Login("127.0.0.1", "maint", "zuka", server->port()),
              LoginResult::LoggedIn);  // count afresh
    mainunit::MainUnitFaults faults;
    faults.dropControlAfterCommands = 6;  // USER PASS CWD PORT NLST, then the STOR's root walk
    server->setFaults(faults);
    EXPECT_EQ(backup(), JobResult::CommunicationFailure);
    EXPECT_EQ(record.months, std::vector<std::string>{"202401"});
    EXPECT_FALSE(backedUp("BU_202401", kJan));
}

TEST_F(BackupJobTest, SystemMessagesGoToTheNewestFolderWhenNewer) {
    addRemote("/outou", "202401010900_MON_A005_0000", "five");
    addRemote("/outou", "202312010900_FRI_A006_0000", "six");
    const auto folder = base / "BU_202401" / "outou";
    addLocal(folder, "202401010900_MON_A006_0000", "newer six on the PC");
    BackupJob job(env, plan, &record);
    EXPECT_EQ(job.BackupSystemMessages(chosen, stored, "/outou/"), JobResult::Done);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(readFile(folder / "202401010900_MON_A005_0000.aac"), "five");
    EXPECT_FALSE(std::filesystem::exists(folder / "202312010900_FRI_A006_0000.aac"));

    plan.unit = BackupPlan::Yearly;
    EXPECT_EQ(BackupJob(env, plan).BackupSystemMessages(chosen, stored, "/outou/"),
              JobResult::Done);
    EXPECT_EQ(chosen, 2);
    EXPECT_TRUE(
        std::filesystem::exists(base / "BU_2024" / "outou" / "202312010900_FRI_A006_0000.aac"));
}

}  // namespace
}  // namespace orven::test
