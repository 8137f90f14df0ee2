#include "app/Settings.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace orven {
namespace {

std::string numbered(const char* key, int n) {
    return key + std::to_string(n);
}

int atLeast(int value, int floor, int replacement) {
    return value < floor ? replacement : value;
}

// Reads keys of one section; every string lands in a fixed field, which cuts it if too long.
class SectionReader {
  public:
    SectionReader(const ProfileFile& file, const char* section)
        : m_file(file), m_section(section) {}

    template <typename Field>
    void text(const std::string& key, Field& field) const {
        field = m_file.getString(m_section, key);
    }
    int number(const std::string& key, int def) const { return m_file.getInt(m_section, key, def); }
    int notNegative(const std::string& key) const { return atLeast(number(key, 0), 0, 0); }

  private:
    const ProfileFile& m_file;
    const char* m_section;
};

void loadLogin(CORVENDoc& doc, const ProfileFile& file) {
    SectionReader login(file, "LOGIN");
    login.text("IP", doc.savedAddress);
    login.text("USER", doc.savedUser);
    login.text("PASS", doc.savedPassword);
    doc.rememberFlag = login.notNegative("CHECK");
}

void loadFolder(CORVENDoc& doc, const ProfileFile& file) {
    SectionReader folder(file, "FOLDER");
    folder.text("FOLDER", doc.dataFolder);
    doc.startupMode = folder.notNegative("INIT");
    folder.text("NEXTFOLDER", doc.nextDataFolder);
    folder.text("NEXTFOLDERNAME", doc.nextFolderName);
    doc.folderChanged = folder.notNegative("CHANGE");
    folder.text("FOLDER_ALWAYS", doc.alwaysDataFolder);
}

void loadColumns(const SectionReader& disp, CORVENDoc& doc) {
    for (int n = 1; n <= CORVENDoc::kColumns; ++n) {
        FixedText<7> value;
        disp.text(numbered("COLUM", n), value);
        if (!value.empty()) {
            doc.columns[n - 1] = value;
        }
    }
    for (int n = 1; n <= CORVENDoc::kColumns; ++n) {
        disp.text(numbered("DELCOLUM", n), doc.removedColumns[n - 1]);
    }
    // A first start has chosen no columns yet: the list shows the reset set rather than none.
    if (doc.columns[0].empty() && doc.removedColumns[0].empty()) {
        static constexpr std::array<std::string_view, CORVENDoc::kColumns> kResetSet = {
            "ﾌﾗｸﾞ", "取込",     "再生/未再生", "保護/非保護", "BOX番号",  "相手番号", "相手名称",
            "日時", "録音時間", "ファイル名",  "BOX名称",     "タイトル", "メモ"};
        constexpr std::size_t kShown = 10;
        for (std::size_t i = 0; i < kResetSet.size(); ++i) {
            (i < kShown ? doc.columns[i] : doc.removedColumns[i - kShown]) = kResetSet[i];
        }
    }
}

void loadDisp(CORVENDoc& doc, const ProfileFile& file) {
    SectionReader disp(file, "DISP");
    disp.text("FOLDERNAME", doc.currentFolderName);
    // The count indexes the four window slots, so a count above four would reach past them.
    doc.windowCount = std::min(disp.notNegative("NUM"), CORVENDoc::kListWindows);
    for (int n = 1; n <= CORVENDoc::kListWindows; ++n) {
        disp.text(numbered("DISP", n), doc.windowBoxLists[n - 1]);
    }
    for (int n = 1; n <= CORVENDoc::kListWindows; ++n) {
        disp.text(numbered("FOLDERNAME", n), doc.windowFolderNames[n - 1]);
    }
    loadColumns(disp, doc);
    doc.noticeShown = disp.number("INFO_ALREADY", 0);
    disp.text("FOLDERNAME_ALWAYS", doc.alwaysFolderName);
}

void loadCarried(CORVENDoc& doc, const ProfileFile& file) {
    SectionReader convert(file, "CONVERT");
    doc.convertOnDownload = convert.notNegative("DOWNCONV");
    doc.deleteAfterConvert = convert.notNegative("CONVDEL");
    SectionReader exportCsv(file, "EXPORT");
    exportCsv.text("PATH", doc.exportFolder);
    exportCsv.text("Name", doc.exportFileName);
    SectionReader importCsv(file, "IMPORT");
    importCsv.text("PATH", doc.importFolder);
    importCsv.text("Name", doc.importFileName);
    SectionReader codec(file, "CODEC");
    codec.text("SYSADDFOLDER", doc.addedSystemMessageFolder);
    doc.levels[0] = codec.number("LEVELRVWAVOR", 0);
    doc.levels[1] = codec.number("LEVELRVWMAOR", 0);
    doc.levels[2] = codec.number("LEVELRVORWAV", 0);
}

void loadBackup(CORVENDoc& doc, const ProfileFile& file) {
    SectionReader backup(file, "BACKUP");
    doc.backupFrequency = backup.notNegative("HINDO");
    doc.backupWeekday = backup.notNegative("YOUBI");
    doc.backupDay = atLeast(backup.number("HI", 1), 0, 1);
    doc.backupHour = backup.notNegative("JIKOKUHH");
    doc.backupMinute = backup.notNegative("JIKOKUMM");
    backup.text("ZENKAIBI", doc.lastBackupDate);
    doc.lastBackupResult = backup.notNegative("ZENKAIKA");
    backup.text("YOTEIBI", doc.nextBackupDate);
    doc.backupRetryCount = atLeast(backup.number("RETRYCNT", 3), 1, 1);
    doc.backupRetryWaitMs = atLeast(backup.number("RETRYWAIT", 60000), 10000, 10000);
    doc.backupUnit = backup.notNegative("TIMING");
}

void loadDownloadAndVolume(CORVENDoc& doc, const ProfileFile& file) {
    SectionReader download(file, "Download");
    doc.alwaysDownload = download.notNegative("Always");
    const int limit = download.number("MaxCount", 1);
    doc.alwaysLimitChoice = (limit >= 1 && limit <= 3) ? limit : 1;
    SectionReader wav(file, "WavSave");
    doc.wavSaveEnabled = wav.notNegative("Enable");
    wav.text("Path", doc.wavSaveFolder);
    SectionReader volume(file, "VOLUME");
    doc.volumeSwitch = volume.notNegative("VOLSET");
    // The level is a percentage handed to the sound server; above 100 it cannot be applied.
    doc.volumeSetting = std::min(atLeast(volume.number("VOLSET_VALUE", 50), 0, 50), 100);
    doc.muteSetting = volume.notNegative("MUTE_SET");
}

// Writes keys of one section and remembers whether every write succeeded.
class SectionWriter {
  public:
    SectionWriter(ProfileFile& file, const char* section, bool& allWritten)
        : m_file(file), m_section(section), m_allWritten(allWritten) {}

    void text(const std::string& key, const std::string& value) {
        m_allWritten = m_file.writeString(m_section, key, protect(value)) && m_allWritten;
    }
    template <std::size_t N>
    void text(const std::string& key, const FixedText<N>& value) {
        text(key, value.str());
    }
    void number(const std::string& key, int value) {
        m_allWritten = m_file.writeInt(m_section, key, value) && m_allWritten;
    }

  private:
    // Reading trims blanks and drops one pair of quotes; quoting such a value keeps it whole.
    static std::string protect(const std::string& value) {
        if (value.empty()) {
            return value;
        }
        const bool blankEnd = value.front() == ' ' || value.front() == '\t' ||
                              value.back() == ' ' || value.back() == '\t';
        const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
        return (blankEnd || quoted) ? '"' + value + '"' : value;
    }

    ProfileFile& m_file;
    const char* m_section;
    bool& m_allWritten;
};

void saveLoginAndFolder(const CORVENDoc& doc, ProfileFile& file, bool& ok) {
    SectionWriter login(file, "LOGIN", ok);
    login.text("IP", doc.savedAddress);
    login.text("USER", doc.savedUser);
    login.text("PASS", doc.savedPassword);
    login.number("CHECK", doc.rememberFlag);
    SectionWriter folder(file, "FOLDER", ok);
    // A changed folder is taken from NEXTFOLDER at the next start, never from here.
    folder.text("FOLDER", doc.folderChanged == 1
                              ? std::string()
                              : CORVENDoc::withTrailingSlash(doc.dataFolder.str()));
    folder.number("INIT", doc.startupMode);
    folder.text("NEXTFOLDER", doc.nextDataFolder);
    folder.text("NEXTFOLDERNAME", doc.nextFolderName);
    folder.number("CHANGE", doc.folderChanged);
    folder.text("FOLDER_ALWAYS", CORVENDoc::withTrailingSlash(doc.alwaysDataFolder.str()));
}

void saveDisp(CORVENDoc& doc, ProfileFile& file, int& openListWindows, bool& ok) {
    SectionWriter disp(file, "DISP", ok);
    if (doc.folderChanged == 1) {
        disp.text("FOLDERNAME", doc.nextFolderName);
        openListWindows = 0;
        for (auto& boxes : doc.windowBoxLists) {
            boxes.clear();
        }
    } else {
        disp.text("FOLDERNAME", doc.currentFolderName);
    }
    disp.text("FOLDERNAME_ALWAYS", doc.alwaysFolderName);
    disp.number("NUM", openListWindows);
    for (int n = 1; n <= CORVENDoc::kListWindows; ++n) {
        disp.text(numbered("DISP", n), doc.windowBoxLists[n - 1]);
        disp.text(numbered("FOLDERNAME", n), doc.windowFolderNames[n - 1]);
    }
}

void saveCarried(const CORVENDoc& doc, ProfileFile& file, bool& ok) {
    SectionWriter convert(file, "CONVERT", ok);
    convert.number("DOWNCONV", doc.convertOnDownload);
    convert.number("CONVDEL", doc.deleteAfterConvert);
    SectionWriter exportCsv(file, "EXPORT", ok);
    exportCsv.text("PATH", doc.exportFolder);
    exportCsv.text("Name", doc.exportFileName);
    SectionWriter importCsv(file, "IMPORT", ok);
    importCsv.text("PATH", doc.importFolder);
    importCsv.text("Name", doc.importFileName);
    SectionWriter codec(file, "CODEC", ok);
    codec.text("SYSADDFOLDER", doc.addedSystemMessageFolder);
    codec.number("LEVELRVWAVOR", doc.levels[0]);
    codec.number("LEVELRVWMAOR", doc.levels[1]);
    codec.number("LEVELRVORWAV", doc.levels[2]);
}

void saveBackup(const CORVENDoc& doc, ProfileFile& file, bool& ok) {
    SectionWriter backup(file, "BACKUP", ok);
    backup.number("HINDO", doc.backupFrequency);
    backup.number("YOUBI", doc.backupWeekday);
    backup.number("HI", doc.backupDay);
    backup.number("JIKOKUHH", doc.backupHour);
    backup.number("JIKOKUMM", doc.backupMinute);
    backup.text("ZENKAIBI", doc.lastBackupDate);
    backup.number("ZENKAIKA", doc.lastBackupResult);
    backup.text("YOTEIBI", doc.nextBackupDate);
    backup.number("RETRYCNT", doc.backupRetryCount);
    backup.number("RETRYWAIT", doc.backupRetryWaitMs);
    backup.number("TIMING", doc.backupUnit);
}

void saveDownloadAndVolume(const CORVENDoc& doc, ProfileFile& file, bool& ok) {
    SectionWriter download(file, "Download", ok);
    download.number("Always", doc.alwaysDownload);
    download.number("MaxCount", doc.alwaysLimitChoice);
    SectionWriter wav(file, "WavSave", ok);
    wav.number("Enable", doc.wavSaveEnabled);
    wav.text("Path", doc.wavSaveFolder);
    SectionWriter volume(file, "VOLUME", ok);
    volume.number("VOLSET", doc.volumeSwitch);
    volume.number("VOLSET_VALUE", doc.volumeSetting);
    volume.number("MUTE_SET", doc.muteSetting);
}

}  // namespace

void Settings::LoadSettings(CORVENDoc& doc, const ProfileFile& file) {
    loadLogin(doc, file);
    loadFolder(doc, file);
    loadDisp(doc, file);
    loadCarried(doc, file);
    loadBackup(doc, file);
    loadDownloadAndVolume(doc, file);
}

bool Settings::SaveSettings(CORVENDoc& doc, ProfileFile& file, int& openListWindows) {
    bool ok = true;
    saveLoginAndFolder(doc, file, ok);
    saveDisp(doc, file, openListWindows, ok);
    saveCarried(doc, file, ok);
    saveBackup(doc, file, ok);
    saveDownloadAndVolume(doc, file, ok);
    return ok;
}

}  // namespace orven
