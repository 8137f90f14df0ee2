#include "app/Settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/CodePage.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

std::string utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : CodePage::utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// The text of a UTF-16 settings file, one line per entry, blank lines left out.
std::string settingsText(const std::filesystem::path& path) {
    const std::string bytes = readFile(path);
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    std::istringstream lines(CodePage::utf16ToUtf8(text));
    std::string line;
    std::string out;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            out += line + "\n";
        }
    }
    return out;
}

class SettingsTest : public ::testing::Test {
  protected:
    std::filesystem::path iniPath() const { return m_dir / "ORVEN.ini"; }
    ProfileFile ini() const { return ProfileFile(iniPath(), ProfileFile::Encoding::Utf16Le, 0600); }

    CORVENDoc loaded(const std::string& utf8Text) {
        writeFile(iniPath(), utf16File(utf8Text));
        CORVENDoc doc;
        Settings::LoadSettings(doc, ini());
        return doc;
    }

    test::TempDir m_dir;
};

TEST_F(SettingsTest, FirstRunWithoutFileGivesTheDefaults) {
    CORVENDoc doc;
    Settings::LoadSettings(doc, ini());
    EXPECT_EQ(doc.windowCount, 0);
    EXPECT_TRUE(doc.dataFolder.empty());
    EXPECT_TRUE(doc.windowBoxLists[0].empty());
    EXPECT_EQ(doc.backupFrequency, 0);
    EXPECT_EQ(doc.backupDay, 1);
    EXPECT_EQ(doc.backupRetryCount, 3);
    EXPECT_EQ(doc.backupRetryWaitMs, 60000);
    EXPECT_EQ(doc.alwaysLimitChoice, 1);
    EXPECT_EQ(doc.volumeSetting, 50);
    EXPECT_EQ(doc.noticeShown, 0);
    EXPECT_EQ(doc.boxFolderFlag, 1);
    // No columns chosen yet: the first ten of the catalogue, the other three removed.
    EXPECT_EQ(doc.columns[0].str(), "ﾌﾗｸﾞ");
    EXPECT_EQ(doc.columns[9].str(), "ファイル名");
    EXPECT_TRUE(doc.columns[10].empty());
    EXPECT_EQ(doc.removedColumns[2].str(), "メモ");
    EXPECT_FALSE(std::filesystem::exists(iniPath())) << "reading must not create the file";
}

TEST_F(SettingsTest, FreshSearchConditionsMatchEverything) {
    CORVENDoc doc;
    EXPECT_EQ(doc.boxSearch[0], 2);
    EXPECT_EQ(doc.boxSearch[1], 2);
    EXPECT_EQ(doc.boxSearch[2], 8);
    EXPECT_EQ(doc.boxSearch[3], 2);
    EXPECT_EQ(doc.boxSearch[4], 0);
    EXPECT_EQ(doc.responseSearch[0], 2);
    EXPECT_EQ(doc.responseSearch[1], 2);
    EXPECT_EQ(doc.responseSearch[2], 0);
    EXPECT_EQ(doc.responseSearch[3], 0);
}

TEST_F(SettingsTest, OutOfRangeNumbersAreFixedUp) {
    CORVENDoc doc = loaded(
        "[BACKUP]\r\nRETRYWAIT=5000\r\nRETRYCNT=0\r\nHI=-1\r\nHINDO=-2\r\nTIMING=-1\r\n"
        "[Download]\r\nMaxCount=4\r\nAlways=-1\r\n"
        "[VOLUME]\r\nVOLSET_VALUE=-3\r\nMUTE_SET=-1\r\n"
        "[LOGIN]\r\nCHECK=-5\r\n[DISP]\r\nNUM=-1\r\n");
    EXPECT_EQ(doc.backupRetryWaitMs, 10000);
    EXPECT_EQ(doc.backupRetryCount, 1);
    EXPECT_EQ(doc.backupDay, 1);
    EXPECT_EQ(doc.backupFrequency, 0);
    EXPECT_EQ(doc.backupUnit, 0);
    EXPECT_EQ(doc.alwaysLimitChoice, 1);
    EXPECT_EQ(doc.alwaysDownload, 0);
    EXPECT_EQ(doc.volumeSetting, 50);
    EXPECT_EQ(doc.muteSetting, 0);
    EXPECT_EQ(doc.rememberFlag, 0);
    EXPECT_EQ(doc.windowCount, 0);

    EXPECT_EQ(loaded("[Download]\r\nMaxCount=0\r\n").alwaysLimitChoice, 1);
    EXPECT_EQ(loaded("[Download]\r\nMaxCount=3\r\n").alwaysLimitChoice, 3);
    EXPECT_EQ(loaded("[BACKUP]\r\nRETRYWAIT=10000\r\n").backupRetryWaitMs, 10000);
}

TEST_F(SettingsTest, AbsurdNumbersStayWithinTheRecord) {
    CORVENDoc doc = loaded(
        "[DISP]\r\nNUM=99\r\n[VOLUME]\r\nVOLSET_VALUE=250\r\n"
        "[BACKUP]\r\nRETRYCNT=99999999999999999999\r\nRETRYWAIT=abc\r\n");
    EXPECT_EQ(doc.windowCount, 4);
    EXPECT_EQ(doc.volumeSetting, 100);
    EXPECT_GE(doc.backupRetryCount, 1);
    EXPECT_EQ(doc.backupRetryWaitMs, 10000) << "a value without digits reads as 0";
}

TEST_F(SettingsTest, LongValuesAreCutToTheirFields) {
    const std::string longBoxes(5000, 'x');
    CORVENDoc doc = loaded(
        "[LOGIN]\r\nIP=192.168.100.100.12345\r\nUSER=abcdefghijklmnopqrstu\r\n"
        "[DISP]\r\nDISP1=" +
        longBoxes + "\r\nCOLUM1=相手名称と日時\r\n");
    EXPECT_EQ(doc.savedAddress.str(), "192.168.100.100");
    EXPECT_EQ(doc.savedUser.str(), "abcdefghijklmnop");
    EXPECT_EQ(doc.windowBoxLists[0].size(), 4095u);
    EXPECT_EQ(doc.columns[0].str(), "相手名称と日");
}

TEST_F(SettingsTest, CutNeverSplitsASurrogatePair) {
    // 15 characters then a character outside the basic plane: its two units do not fit in 16.
    CORVENDoc doc = loaded("[LOGIN]\r\nUSER=abcdefghijklmno\xF0\xA0\x80\x8B\r\n");
    EXPECT_EQ(doc.savedUser.str(), "abcdefghijklmno");
}

TEST_F(SettingsTest, EmptyColumnKeepsTheColumnItHad) {
    writeFile(iniPath(), utf16File("[DISP]\r\nCOLUM1=\r\nCOLUM2=日時\r\nDELCOLUM1=\r\n"));
    CORVENDoc doc;
    doc.columns[0] = "ﾌﾗｸﾞ";
    doc.columns[1] = "取込";
    doc.removedColumns[0] = "メモ";
    Settings::LoadSettings(doc, ini());
    EXPECT_EQ(doc.columns[0].str(), "ﾌﾗｸﾞ");
    EXPECT_EQ(doc.columns[1].str(), "日時");
    EXPECT_TRUE(doc.removedColumns[0].empty());
}

TEST_F(SettingsTest, ReadsAFileWrittenByWindowsInTheAnsiCodePage) {
    const std::string text =
        "; written by hand\r\n[LOGIN]\r\nIP=192.168.1.10\r\nuser = \"orven\" \r\nCHECK=1\r\n\r\n"
        "[folder]\r\nFOLDER=/home/jimu/音声\\\r\nFOLDER_ALWAYS=\r\n[DISP]\r\nNUM=2\r\n"
        "DISP1=留守録BOX:1?2\r\nFOLDERNAME1=ﾃﾞｰﾀ\r\n[UNKNOWN]\r\nX=1\r\n";
    writeFile(iniPath(), CodePage::utf8ToCp932(text));
    CORVENDoc doc;
    Settings::LoadSettings(doc, ProfileFile(iniPath()));
    EXPECT_EQ(doc.savedAddress.str(), "192.168.1.10");
    EXPECT_EQ(doc.savedUser.str(), "orven");
    EXPECT_EQ(doc.rememberFlag, 1);
    EXPECT_EQ(doc.dataFolder.str(), "/home/jimu/音声\\");
    EXPECT_EQ(doc.windowCount, 2);
    EXPECT_EQ(doc.windowBoxLists[0].str(), "留守録BOX:1?2");
    EXPECT_EQ(doc.windowFolderNames[0].str(), "ﾃﾞｰﾀ");
}

TEST_F(SettingsTest, BrokenFilesLoadWithDefaults) {
    for (const std::string& bytes :
         {std::string(), std::string("\xFF\xFE"), std::string("\xFF\xFE[\0B", 4),
          std::string("[BACKUP\r\nRETRYCNT"), std::string("\x81", 1),
          std::string("[BACKUP]\r\nRETRYCNT=5\r\nRETRYCNT=7\r\n[BACKUP]\r\nRETRYCNT=9\r\n")}) {
        writeFile(iniPath(), bytes);
        CORVENDoc doc;
        Settings::LoadSettings(doc, ini());
        EXPECT_TRUE(doc.backupRetryCount == 3 || doc.backupRetryCount == 5)
            << "first key of the first section wins";
        EXPECT_EQ(doc.backupRetryWaitMs, 60000);
    }
}

CORVENDoc sampleDoc() {
    CORVENDoc doc;
    doc.savedAddress = "192.168.1.10";
    doc.savedUser = "orven";
    doc.savedPassword = "pw";
    doc.rememberFlag = 1;
    doc.dataFolder = "/srv/voice";
    doc.startupMode = 1;
    doc.nextDataFolder = "/srv/next/";
    doc.nextFolderName = "新";
    doc.alwaysDataFolder = "/srv/always";
    doc.currentFolderName = "今";
    doc.alwaysFolderName = "常時";
    doc.windowBoxLists[0] = "留守録BOX:1";
    doc.windowFolderNames[0] = "今";
    doc.backupDay = 1;
    doc.backupRetryCount = 3;
    doc.backupRetryWaitMs = 60000;
    doc.alwaysLimitChoice = 2;
    doc.volumeSetting = 40;
    return doc;
}

const char* const kTail =
    "[CONVERT]\nDOWNCONV=0\nCONVDEL=0\n[EXPORT]\nPATH=\nName=\n[IMPORT]\nPATH=\nName=\n"
    "[CODEC]\nSYSADDFOLDER=\nLEVELRVWAVOR=0\nLEVELRVWMAOR=0\nLEVELRVORWAV=0\n"
    "[BACKUP]\nHINDO=0\nYOUBI=0\nHI=1\nJIKOKUHH=0\nJIKOKUMM=0\nZENKAIBI=\nZENKAIKA=0\n"
    "YOTEIBI=\nRETRYCNT=3\nRETRYWAIT=60000\nTIMING=0\n[Download]\nAlways=0\nMaxCount=2\n"
    "[WavSave]\nEnable=0\nPath=\n[VOLUME]\nVOLSET=0\nVOLSET_VALUE=40\nMUTE_SET=0\n";

TEST_F(SettingsTest, SaveWritesEveryKeyInItsOrder) {
    CORVENDoc doc = sampleDoc();
    int open = 1;
    ProfileFile file = ini();
    ASSERT_TRUE(Settings::SaveSettings(doc, file, open));
    EXPECT_EQ(settingsText(iniPath()),
              std::string("[LOGIN]\nIP=192.168.1.10\nUSER=orven\nPASS=pw\nCHECK=1\n"
                          "[FOLDER]\nFOLDER=/srv/voice/\nINIT=1\nNEXTFOLDER=/srv/next/\n"
                          "NEXTFOLDERNAME=新\nCHANGE=0\nFOLDER_ALWAYS=/srv/always/\n"
                          "[DISP]\nFOLDERNAME=今\nFOLDERNAME_ALWAYS=常時\nNUM=1\n"
                          "DISP1=留守録BOX:1\nFOLDERNAME1=今\nDISP2=\nFOLDERNAME2=\n"
                          "DISP3=\nFOLDERNAME3=\nDISP4=\nFOLDERNAME4=\n") +
                  kTail);
    EXPECT_EQ(std::filesystem::status(iniPath()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(readFile(iniPath()).substr(0, 2), "\xFF\xFE");
}

TEST_F(SettingsTest, ChangedFolderSavesTheNextFolderAndNoWindows) {
    CORVENDoc doc = sampleDoc();
    doc.folderChanged = 1;
    int open = 1;
    ProfileFile file = ini();
    ASSERT_TRUE(Settings::SaveSettings(doc, file, open));
    EXPECT_EQ(open, 0);
    EXPECT_TRUE(doc.windowBoxLists[0].empty());
    EXPECT_EQ(settingsText(iniPath()),
              std::string("[LOGIN]\nIP=192.168.1.10\nUSER=orven\nPASS=pw\nCHECK=1\n"
                          "[FOLDER]\nFOLDER=\nINIT=1\nNEXTFOLDER=/srv/next/\n"
                          "NEXTFOLDERNAME=新\nCHANGE=1\nFOLDER_ALWAYS=/srv/always/\n"
                          "[DISP]\nFOLDERNAME=新\nFOLDERNAME_ALWAYS=常時\nNUM=0\n"
                          "DISP1=\nFOLDERNAME1=今\nDISP2=\nFOLDERNAME2=\n"
                          "DISP3=\nFOLDERNAME3=\nDISP4=\nFOLDERNAME4=\n") +
                  kTail);
}

TEST_F(SettingsTest, SaveKeepsTheUsersOtherLines) {
    writeFile(iniPath(), utf16File("; メモ\r\n[LOGIN]\r\nIP=1.2.3.4\r\n; keep me\r\n"
                                   "[rusuroku]\r\n001=1\r\n[DISP]\r\nCOLUM1=日時\r\n"));
    CORVENDoc doc;
    Settings::LoadSettings(doc, ini());
    int open = 0;
    ProfileFile file = ini();
    ASSERT_TRUE(Settings::SaveSettings(doc, file, open));
    const std::string text = settingsText(iniPath());
    EXPECT_EQ(text.rfind("; メモ\n[LOGIN]\nIP=1.2.3.4\n", 0), 0u) << text;
    EXPECT_NE(text.find("; keep me\n"), std::string::npos);
    EXPECT_NE(text.find("[rusuroku]\n001=1\n"), std::string::npos);
    EXPECT_NE(text.find("COLUM1=日時\n"), std::string::npos) << "columns are not saved at exit";
}

TEST_F(SettingsTest, SavedValuesLoadBackUnchanged) {
    CORVENDoc doc = sampleDoc();
    doc.savedPassword = " pass ";
    doc.wavSaveFolder = "\"quoted\"";
    doc.exportFileName = "一覧 .csv";
    doc.backupFrequency = 2;
    doc.lastBackupDate = "202612071200";
    doc.levels = {1, -2, 3};
    int open = 3;
    ProfileFile file = ini();
    ASSERT_TRUE(Settings::SaveSettings(doc, file, open));

    CORVENDoc back;
    Settings::LoadSettings(back, ini());
    EXPECT_EQ(back.savedPassword.str(), " pass ");
    EXPECT_EQ(back.wavSaveFolder.str(), "\"quoted\"");
    EXPECT_EQ(back.exportFileName.str(), "一覧 .csv");
    EXPECT_EQ(back.dataFolder.str(), "/srv/voice/");
    EXPECT_EQ(back.windowCount, 3);
    EXPECT_EQ(back.backupFrequency, 2);
    EXPECT_EQ(back.lastBackupDate.str(), "202612071200");
    EXPECT_EQ(back.levels, doc.levels);
    EXPECT_EQ(back.alwaysLimitChoice, 2);
}

TEST_F(SettingsTest, UnwritableFileIsReported) {
    std::filesystem::create_directory(iniPath());  // a folder where the file should be
    CORVENDoc doc = sampleDoc();
    int open = 0;
    ProfileFile file = ini();
    EXPECT_FALSE(Settings::SaveSettings(doc, file, open));
}

}  // namespace
}  // namespace orven
