#include "store/CFileMng.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/ManualClock.h"
#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// A header block as the main unit sends it, built from the byte table.
std::string block(const std::string& name, std::uint8_t flags) {
    std::string b(256, '\0');
    b.replace(0, name.size(), name);
    b.replace(64, 16, "Zu-KA Voice-data");
    b.replace(96, 27,
              std::string("Fri,\0"
                          "05\0Jan\0"
                          "2024\0"
                          "09:30\0+0900",
                          27));
    b.replace(128, 4, "\x8E\x52\x93\x63");  // 山田 in CP932
    b.replace(160, 3, "201");
    b[193] = static_cast<char>(flags);
    b.replace(194, 4, be32(655));
    b.replace(202, 4, "0101");
    return b;
}

class CFileMngTest : public ::testing::Test {
  protected:
    CFileMngTest() : m_store(context()) {}

    StoreContext context() {
        StoreContext c;
        c.clock = &m_clock;
        c.fileSystem = &m_fs;
        return c;
    }

    fs::path box(const std::string& number) {
        const fs::path folder = m_dir / "store" / "rusuroku" / number;
        fs::create_directories(folder);
        return folder;
    }

    test::TempDir m_dir;
    ManualClock m_clock{LocalTime::make(2024, 1, 5, 10, 0, 1, 2)};
    test::FakeFileSystem m_fs;
    CFileMng m_store;
};

TEST_F(CFileMngTest, DownloadedBundleBecomesListedMessages) {
    const fs::path folder = box("0101");
    ASSERT_EQ(m_store.SetBoxName(folder, " 営業部 "), 1);
    const std::string first = "202401050930_FRI_0101_00001.vmdat";
    const std::string second = "202401050931_FRI_0101_00002.vmdat";
    const fs::path list = m_store.WriteRequestList({first, second}, folder, true);
    EXPECT_EQ(list.filename(), "202401051000010002_FRI.datco");
    EXPECT_EQ(readFile(list).size(), 144u);

    const std::string bundle = be32(2) + std::string(12, '\0') + block(first, 0x01) + be32(3) +
                               "abc" + block(second, 0x02) + be32(2) + "de";
    std::ofstream(m_dir / "bundle", std::ios::binary) << bundle;
    std::vector<std::string> names;
    EXPECT_EQ(m_store.UnpackBundle(folder, m_dir / "bundle", &names, true, false, false), 2);
    EXPECT_EQ(names, (std::vector<std::string>{"202401050930_FRI_0101_00001.vminf",
                                               "202401050931_FRI_0101_00002.vminf"}));
    EXPECT_EQ(readFile(folder / "202401050931_FRI_0101_00002.aac"), "de");

    std::vector<FILESTS_INFO> rows;
    ASSERT_EQ(m_store.ScanFolder(rows, folder), 0);
    ASSERT_EQ(rows.size(), 2u);
    for (const FILESTS_INFO& row : rows) {
        EXPECT_EQ(FILESTS_INFO::text(row.boxName), " 営業部 ");
        EXPECT_EQ(FILESTS_INFO::text(row.callerName), "山田");
        EXPECT_EQ(FILESTS_INFO::text(row.recordingDate), "2024/01/05 09:30");
        EXPECT_EQ(FILESTS_INFO::text(row.recordingLength), "00:01:05");
        EXPECT_EQ(fs::path(FILESTS_INFO::text(row.filePath)).extension(), ".aac");
    }
    EXPECT_EQ(m_store.CountMessages(folder), 2);
    EXPECT_EQ(m_store.DeleteRequestLists(list), 1);
    EXPECT_FALSE(fs::exists(list));
}

TEST_F(CFileMngTest, OneBundleForSeveralBoxesFollowsTheMap) {
    const fs::path a = box("0101");
    const fs::path b = box("0102");
    const std::string inA = "202401050930_FRI_0101_00001.vminf";
    const std::string inB = "202401050930_FRI_0102_00001.vminf";
    m_store.SetDestFolderMap({inA, inB}, {a, b});
    const std::string bundle = be32(2) + std::string(12, '\0') + block(inB, 0) + block(inA, 0);
    std::ofstream(m_dir / "bundle", std::ios::binary) << bundle;
    EXPECT_EQ(m_store.UnpackBundle(a, m_dir / "bundle", nullptr, false, false, true), 1);
    EXPECT_TRUE(fs::exists(a / inA));
    EXPECT_TRUE(fs::exists(b / inB));
    EXPECT_EQ(m_store.LookupDestFolder(inB), b);
    EXPECT_EQ(m_store.StoreHoldsMessages(m_dir / "store"), 1);
}

TEST_F(CFileMngTest, AutoDeleteSwitchComesFromTheSettingsFile) {
    EXPECT_EQ(m_store.IsAutoDeleteBox("/rusuroku/0101"), 0) << "no settings file given";
    ProfileFile settings(m_dir / "ORVEN.ini", ProfileFile::Encoding::Utf16Le, 0600);
    ASSERT_TRUE(settings.writeInt("rusuroku", "0101", 1));
    CFileMng withSettings(context(), &settings);
    EXPECT_EQ(withSettings.IsAutoDeleteBox("/rusuroku/0101"), 1);
    EXPECT_EQ(withSettings.IsAutoDeleteBox("/naisen/0101"), 0);
}

}  // namespace
}  // namespace orven
