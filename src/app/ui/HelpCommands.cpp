#include "app/ui/HelpCommands.h"

#include <string>

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/CommandIds.h"
#include "app/ui/QtText.h"
#include "app/ui/QtUi.h"
#include "resources/Texts.h"

namespace orven::ui {

void HelpCommands::run(int id, QWidget* parent) {
    switch (id) {
        case command::kManual:
            return openManual(parent);
        case command::kUpdate:
            QtUi::showMessageBox(parent, std::string(text::kUpdateNotAvailable),
                                 std::string(text::kUpdateTitle), Buttons::Ok, Icon::Information);
            return;
        case command::kAbout:
            QtUi::showMessageBox(parent, std::string(text::kAboutText),
                                 std::string(text::kAboutTitle), Buttons::Ok, Icon::Information);
            return;
        default:
            return;
    }
}

void HelpCommands::openDialogueLog(const std::filesystem::path& log, QWidget* parent) {
    const QString path = QString::fromStdString(log.string());
    if (!QFileInfo(path).isFile() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        QtUi::showMessageBox(parent, std::string(text::kDialogueLogCannotOpen),
                             std::string(text::kErrorTitle), Buttons::Ok, Icon::Exclamation);
    }
}

// The manual lies beside the working folder; the desktop's PDF viewer opens it.
void HelpCommands::openManual(QWidget* parent) {
    const QString path = QDir::current().filePath(qs(text::kManualPath));
    const std::string_view problem = !QFileInfo(path).isFile() ? text::kManualNotFound
                                     : !QDesktopServices::openUrl(QUrl::fromLocalFile(path))
                                         ? text::kManualCannotOpen
                                         : std::string_view();
    if (!problem.empty()) {
        QtUi::showMessageBox(parent, std::string(problem), std::string(text::kErrorTitle),
                             Buttons::Ok, Icon::Exclamation);
    }
}

}  // namespace orven::ui
