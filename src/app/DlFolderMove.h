#pragma once

#include <filesystem>
#include <string>

#include "store/StoreContext.h"

namespace orven {

// Moves every message of a store into a new dated folder "DL_..." beside it and leaves the
// store empty but for its box folders, their box information files and the system response
// messages, so box names and box settings stay with the store. Used when a store grows
// too large: after a download and from the settings menu (and by the always-on download).
class DlFolderMove {
  public:
    using path = std::filesystem::path;

    // The numbers are those the roll-over's callers have always reported by.
    enum class Result {
        Moved = 0,
        NoRoom = -1,       // too little free space; the user was told
        Unreachable = -2,  // the folder access check failed
        MoveFailed = -3,   // the store could not be listed, or the rename or the copy back
                           // failed (also: the store had no "outou" folder)
    };

    explicit DlFolderMove(const StoreContext& context) : m_context(context) {}

    // The first "DL_YYYYMMDDhhmm" (or "...(n)") name not taken under base, from the
    // context's clock.
    std::string NextDlFolderName(const path& base) const;
    // Moves base/folderName into base/newName with progress through the context's Ui, then
    // makes base/folderName again with its folders, its box information files and a copy of
    // its "outou". Nothing is ever removed from base/newName.
    Result MoveToDlFolder(const path& base, const std::string& folderName,
                          const std::string& newName);

  private:
    struct StoreWalk;

    static StoreWalk walkStore(const path& store);
    void tellNoRoom() const;
    static bool renameStore(const path& store, const path& moved);
    static bool rebuildStore(const path& store, const path& moved, const StoreWalk& walk);
    static bool copyResponses(const path& store, const path& moved);

    const StoreContext& m_context;
};

}  // namespace orven
