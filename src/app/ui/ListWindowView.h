#pragma once

#include <QString>

#include "app/CommandTable.h"

namespace orven::ui {

// What the main window asks of the view inside a list window. The view is the widget of its
// CChildFrame; the main window never reaches past these calls into the list itself.
class ListWindowView {
  public:
    virtual ~ListWindowView() = default;

    // The status bar's counts line while this window is active.
    virtual QString countsLineText() const = 0;
    // True when the boxes the window was opened for could not be opened.
    virtual bool boxesFailedToOpen() const = 0;
    // The main window renumbered this window after another one closed.
    virtual void setWindowNumber(int windowNumber) = 0;
    // The commands the window's selection allows, handed to the main window when the window
    // becomes active.
    virtual OperationFlags operationFlags() const = 0;
    // Reads the store again (messages came or went), keeping the sort, the selection and the
    // first visible row.
    virtual void refresh() = 0;
};

}  // namespace orven::ui
