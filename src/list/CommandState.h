#pragma once

#include <string>
#include <vector>

#include "app/CommandTable.h"

namespace orven {

// What the selection of a list window allows: the permissions the main window enables its
// message commands by.
class CommandState {
  public:
    struct Selection {
        bool responseList = false;
        // File paths of the selected rows, in list order (a path with ".aac" has voice data;
        // one with ".vminf" has not).
        std::vector<std::string> selectedPaths;
        // A selected response row holds a message (not an empty slot).
        bool selectedResponseHoldsMessage = false;
        // Some listed row has no voice data on the PC.
        bool anyNotDownloaded = false;
    };

    static OperationFlags UpdateCommandState(const Selection& selection);
};

}  // namespace orven
