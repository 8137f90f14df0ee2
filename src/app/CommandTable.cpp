#include "app/CommandTable.h"

#include <algorithm>
#include <array>

#include "app/CommandIds.h"

namespace orven {
namespace {

using Rule = bool (*)(const CommandFacts&);

struct Entry {
    int id;
    bool implemented;
    Rule allowed;
};

bool always(const CommandFacts&) {
    return true;
}
bool loggedIn(const CommandFacts& f) {
    return f.loggedIn;
}
bool loggedOut(const CommandFacts& f) {
    return !f.loggedIn;
}
bool listsOpen(const CommandFacts& f) {
    return f.listsOpen;
}

// Each row: the command, whether its work is wired, and when it may be chosen.
constexpr std::array kTable = std::to_array<Entry>({
    {command::kFolderDownload, true, always},
    {command::kBulkDownload, true,
     [](const CommandFacts& f) { return f.loggedIn && f.storeHasBoxKinds; }},
    {command::kSelectDownload, true,
     [](const CommandFacts& f) { return f.loggedIn && f.storeHasBoxKinds; }},
    {command::kVoiceDownload, false,
     [](const CommandFacts& f) { return f.flags.voiceDownload && f.loggedIn; }},
    {command::kSettings, true, always},
    {command::kWindow, true, always},
    {command::kHelp, true, always},
    {command::kFolderName, false, always},
    {command::kBox, true, [](const CommandFacts& f) { return f.folderLineFilled; }},
    {command::kSelectShow, false, [](const CommandFacts& f) { return f.listActive; }},
    {command::kShowAll, false, [](const CommandFacts& f) { return f.listActive; }},
    {command::kNotDownloaded, false, [](const CommandFacts& f) { return f.flags.voiceDownload; }},
    {command::kSaveElsewhere, false, [](const CommandFacts& f) { return f.flags.saveToFolder; }},
    {command::kPlay, false, [](const CommandFacts& f) { return f.flags.play; }},
    {command::kErase, false, [](const CommandFacts& f) { return f.flags.remove; }},
    {command::kMoveCopy, false, [](const CommandFacts& f) { return f.flags.moveCopy; }},
    {command::kUpload, false,
     [](const CommandFacts& f) { return f.listActive && f.loggedIn && f.flags.upload; }},
    {command::kAdd, false, [](const CommandFacts& f) { return f.listActive && f.flags.add; }},
    {command::kLogIn, true, loggedOut},
    {command::kLogOut, true, loggedIn},
    {command::kStartupFolder, true, always},
    {command::kWizard, true, always},
    {command::kAutoDelete, true, always},
    {command::kAlwaysSettings, false, always},
    {command::kVolume, true, always},
    {command::kMoveData, false, always},
    {command::kColumns, false, always},
    {command::kEditInfo, false, always},
    {command::kBoxNames, false, always},
    {command::kMakeBoxFolder, false, always},
    {command::kRenameBoxFolder, false, always},
    {command::kExport, false, always},
    {command::kImport, false, always},
    {command::kBackupSettings, false, always},
    {command::kTile, true, listsOpen},
    {command::kCascade, true, listsOpen},
    {command::kTileRows, true, listsOpen},
    {command::kTileColumns, true, listsOpen},
    {command::kManual, true, always},
    {command::kUpdate, true, loggedOut},
    {command::kAbout, true, always},
    {command::kDialogueLog, true, always},
});

const Entry* find(int id) {
    const auto* it = std::find_if(kTable.begin(), kTable.end(),
                                  [id](const Entry& entry) { return entry.id == id; });
    return it == kTable.end() ? nullptr : it;
}

}  // namespace

bool CommandTable::enabled(int id, const CommandFacts& facts) {
    const Entry* entry = find(id);
    return entry != nullptr && entry->implemented && entry->allowed(facts);
}

bool CommandTable::allowed(int id, const CommandFacts& facts) {
    const Entry* entry = find(id);
    return entry != nullptr && entry->allowed(facts);
}

bool CommandTable::implemented(int id) {
    const Entry* entry = find(id);
    return entry != nullptr && entry->implemented;
}

}  // namespace orven
