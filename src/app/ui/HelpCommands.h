#pragma once

#include <filesystem>

class QWidget;

namespace orven::ui {

// The help menu's items that only show something: the manual, the update notice and the
// version.
class HelpCommands {
  public:
    // id: command::kManual, kUpdate or kAbout; any other id does nothing.
    static void run(int id, QWidget* parent);

    // The log of the dialogue with the main unit, in the desktop's text viewer.
    static void openDialogueLog(const std::filesystem::path& log, QWidget* parent);

  private:
    static void openManual(QWidget* parent);
};

}  // namespace orven::ui
