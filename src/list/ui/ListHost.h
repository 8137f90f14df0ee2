#pragma once

#include <functional>

#include "app/CommandContext.h"
#include "app/CommandTable.h"

namespace orven::ui {

// What a list window's view and the box dialog need of the main window around them.
struct ListHost {
    CommandContext& context;  // document (slots, columns, folders), settings, Ui, folder check
    // The selection of window n allows these commands; taken when n is the active window.
    std::function<void(int windowNumber, const OperationFlags&)> setOperationFlags;
    // Recounts the open store and returns its folder total (for the counts line).
    std::function<int()> recountFolderTotal;
    // The view's counts changed: the main window shows its counts line again.
    std::function<void()> countsChanged;
    // A row was double-clicked: the recording information editor opens (empty: none yet).
    std::function<void(int windowNumber)> editRequested;
};

}  // namespace orven::ui
