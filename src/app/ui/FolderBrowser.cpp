#include "app/ui/FolderBrowser.h"

#include <QFileDialog>

#include "app/ui/QtText.h"

namespace orven::ui {

FolderChooser::Browse FolderBrowser::forOwner(QWidget* owner) {
    return
        [owner](const std::string& title, const std::string& start) -> std::optional<std::string> {
            const QString chosen =
                QFileDialog::getExistingDirectory(owner, titleText(title), qs(start));
            if (chosen.isEmpty()) {
                return std::nullopt;
            }
            return utf8(chosen);
        };
}

}  // namespace orven::ui
