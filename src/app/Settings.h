#pragma once

#include "app/CORVENDoc.h"
#include "platform/ProfileFile.h"

namespace orven {

// Reading and writing the settings of ORVEN.ini into and out of the document record.
class Settings {
  public:
    // Every setting except the window placements, with its default when missing and its
    // fix-up when out of range. Never fails: a missing or broken file gives the defaults.
    static void LoadSettings(CORVENDoc& doc, const ProfileFile& file);

    // Writes the settings in their fixed order. openListWindows is the main window's count
    // of open list windows; a changed download folder resets it (and the window box lists),
    // since the next start opens the new folder with no list windows. False when any write
    // failed; the keys that could be written are written.
    static bool SaveSettings(CORVENDoc& doc, ProfileFile& file, int& openListWindows);
};

}  // namespace orven
