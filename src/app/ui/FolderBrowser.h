#pragma once

#include "app/FolderChooser.h"

class QWidget;

namespace orven::ui {

// The folder browser of the desktop: QFileDialog limited to folders.
class FolderBrowser {
  public:
    // The owner must outlive the returned function.
    static FolderChooser::Browse forOwner(QWidget* owner);
};

}  // namespace orven::ui
