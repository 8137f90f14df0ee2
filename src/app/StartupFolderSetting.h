#pragma once

#include <string>

#include "app/CORVENDoc.h"

namespace orven {

// What the start-up folder dialog stores when it is confirmed.
class StartupFolderSetting {
  public:
    // The edit's text when the dialog opens: the next folder in "specified" mode, else empty.
    static std::string shownFolder(const CORVENDoc& doc);

    // Stores the choice; false for "specified" with an empty folder, which keeps the rest.
    static bool apply(CORVENDoc& doc, bool specified, const std::string& folder);
};

}  // namespace orven
