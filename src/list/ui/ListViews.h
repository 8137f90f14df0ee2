#pragma once

namespace orven::ui {

class CMainFrame;

// Puts the message lists into the main window: the view of every list window and the box
// dialog behind "ボックス".
class ListViews {
  public:
    // Before the window's create(), so that the last run's list windows open with views.
    static void install(CMainFrame& frame);
};

}  // namespace orven::ui
