#pragma once

namespace orven::command {

// The commands of the main window by their control ids, which the stored window layout and
// the tests use to find them.

// Buttons of the dialog bar.
inline constexpr int kFolderDownload = 1001;
inline constexpr int kBulkDownload = 1002;
inline constexpr int kSelectDownload = 1003;
inline constexpr int kVoiceDownload = 1004;
inline constexpr int kSettings = 1005;
inline constexpr int kWindow = 1006;
inline constexpr int kHelp = 1007;
inline constexpr int kFolderName = 1008;
inline constexpr int kBox = 1009;
inline constexpr int kSelectShow = 1010;
inline constexpr int kShowAll = 1011;
inline constexpr int kNotDownloaded = 1012;
inline constexpr int kSaveElsewhere = 1013;
inline constexpr int kPlay = 1014;
inline constexpr int kErase = 1015;
inline constexpr int kMoveCopy = 1016;
inline constexpr int kUpload = 1017;
inline constexpr int kAdd = 1018;
inline constexpr int kFirstButton = kFolderDownload;
inline constexpr int kLastButton = kAdd;

// The settings menu.
inline constexpr int kLogIn = 32784;
inline constexpr int kLogOut = 32785;
inline constexpr int kStartupFolder = 32786;
inline constexpr int kWizard = 32813;
inline constexpr int kAutoDelete = 32808;
inline constexpr int kAlwaysSettings = 32809;
inline constexpr int kVolume = 32815;
inline constexpr int kMoveData = 32823;
inline constexpr int kColumns = 32790;
inline constexpr int kEditInfo = 32791;
inline constexpr int kBoxNames = 32792;
inline constexpr int kMakeBoxFolder = 32793;
inline constexpr int kRenameBoxFolder = 32794;
inline constexpr int kExport = 32795;
inline constexpr int kImport = 32796;
inline constexpr int kBackupSettings = 32803;

// The window menu; the list windows follow as kFirstListWindow, kFirstListWindow + 1 ...
inline constexpr int kTile = 32800;
inline constexpr int kCascade = 57650;
inline constexpr int kTileRows = 57651;
inline constexpr int kTileColumns = 57652;
inline constexpr int kFirstListWindow = 10001;

// The help menu.
inline constexpr int kManual = 32818;
inline constexpr int kUpdate = 32821;
inline constexpr int kAbout = 32819;
inline constexpr int kDialogueLog = 32830;

}  // namespace orven::command
