#pragma once

namespace orven {

// The permissions the active list view grants for the message commands; all false without
// a list view.
struct OperationFlags {
    bool saveToFolder = false;
    bool voiceDownload = false;
    bool play = false;
    bool moveCopy = false;
    bool add = false;
    bool remove = false;
    bool upload = false;
};

// What the enable rules of the main window's commands look at.
struct CommandFacts {
    bool loggedIn = false;
    bool listActive = false;        // a list window is the active one
    bool listsOpen = false;         // at least one list window is open
    bool storeHasBoxKinds = false;  // the store folder holds both box-kind folders
    bool folderLineFilled = false;  // the folder name line holds more than one character
    OperationFlags flags;
};

// The enable rule of every button and menu item, in one table. A command whose work is not
// part of the program yet stays disabled, so nothing pretends to work.
class CommandTable {
  public:
    // True when the command may be chosen now. Ids are those of command:: (CommandIds.h);
    // an id the table does not know is disabled.
    static bool enabled(int id, const CommandFacts& facts);
    // The command's rule alone, whether or not its work is wired yet.
    static bool allowed(int id, const CommandFacts& facts);
    // The command's work is wired into the window.
    static bool implemented(int id);
};

}  // namespace orven
