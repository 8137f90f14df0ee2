#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/FixedText.h"

namespace orven {

// The two conditions of the selective display are raw records, read by the list layer.
using SearchConditionRecord = std::array<std::uint8_t, 516>;

// The document record: every setting of ORVEN.ini and the session state, one instance for the
// whole run, owned by the main window. Field sizes are those of the stored record, so values
// longer than a field are cut where the settings file's fixed fields cut them.
struct CORVENDoc {
    static constexpr int kListWindows = 4;
    static constexpr int kColumns = 13;
    using Path = FixedText<260>;

    CORVENDoc();

    // LOGIN: the remembered log-in.
    FixedText<16> savedAddress;
    FixedText<17> savedUser;
    FixedText<17> savedPassword;
    int rememberFlag = 0;

    // DISP: list windows of the last run and the list columns.
    int windowCount = 0;
    std::array<Path, kListWindows> windowFolderNames;
    std::array<FixedText<4096>, kListWindows> windowBoxLists;
    std::array<FixedText<7>, kColumns> columns;
    std::array<FixedText<7>, kColumns> removedColumns;
    int noticeShown = 0;

    // EXPORT, IMPORT: the last CSV files.
    Path exportFolder;
    Path exportFileName;
    Path importFolder;
    Path importFileName;

    // FOLDER: where the store lies.
    Path dataFolder;
    int startupMode = 0;
    Path nextDataFolder;
    Path nextFolderName;
    int folderChanged = 0;
    Path alwaysDataFolder;

    // CONVERT, CODEC: carried from start to exit for older versions' sake.
    int convertOnDownload = 0;
    int deleteAfterConvert = 0;
    Path addedSystemMessageFolder;
    std::array<int, 3> levels{};

    // BACKUP: the scheduled backup.
    int backupFrequency = 0;  // HINDO
    int backupWeekday = 0;    // YOUBI
    int backupDay = 0;        // HI
    int backupHour = 0;       // JIKOKUHH
    int backupMinute = 0;     // JIKOKUMM
    FixedText<14> lastBackupDate;
    int lastBackupResult = 0;
    FixedText<14> nextBackupDate;
    int backupRetryCount = 0;
    int backupRetryWaitMs = 0;
    int backupUnit = 0;  // TIMING

    // Download, WavSave, VOLUME.
    int alwaysDownload = 0;
    int alwaysLimitChoice = 0;  // MaxCount
    int wavSaveEnabled = 0;
    Path wavSaveFolder;
    int volumeSwitch = 0;
    int muteSetting = 0;
    int volumeSetting = 0;

    // DISP: the download folders open now.
    Path currentFolderName;
    Path secondFolderName;  // used by the download dialogs
    Path alwaysFolderName;

    SearchConditionRecord boxSearch{};
    SearchConditionRecord responseSearch{};

    // Session state, never stored.
    FixedText<16> sessionAddress;
    FixedText<17> sessionUser;
    FixedText<17> sessionPassword;
    int loggedIn = 0;
    int boxFolderFlag = 1;
    std::string chosenDownloadFolder;
    int volumeSwitchAtStart = 0;
    int muteAtStart = 0;
    int volumeAtStart = 0;

    // The store folder that start-up could not find: forget it and every list window of it.
    void forgetStoreFolder();

    // At start the data folder chosen for "from the next start on" takes effect; with the
    // start-up mode "open the specified folder" the next folder name replaces the current one
    // unless window 1 already shows it. Returns whether the last run's list windows may be
    // restored.
    bool takeStartupFolder();

    // A folder as stored and joined: ending in "/" unless empty.
    static std::string withTrailingSlash(std::string folder);

    // Data folder joined with the current folder name: the store that is open now.
    std::string storeFolder() const;

    // The list windows of the last run come back only for the same folder, when there were any.
    bool restoresListWindows(bool restoreFlag) const;
};

}  // namespace orven
