#include "app/ui/MainMenus.h"

#include <QAction>
#include <QMenu>

#include "app/CommandIds.h"
#include "app/ui/DialogBar.h"
#include "app/ui/DropMenu.h"
#include "app/ui/ListWindows.h"
#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {
namespace {

constexpr int kWindowMenuFixedItems = 4;

}  // namespace

MainMenus::MainMenus(DialogBar& bar, ListWindows& lists, Command command, QWidget* window)
    : QObject(window),
      m_lists(lists),
      m_command(std::move(command)),
      m_settings(new DropMenu(bar.button(command::kSettings), "settingsMenu", window)),
      m_windows(new DropMenu(bar.button(command::kWindow), "windowMenu", window)),
      m_help(new DropMenu(bar.button(command::kHelp), "helpMenu", window)) {
    buildSettings();
    buildWindows();
    buildHelp();
}

void MainMenus::addItem(QMenu* menu, int id, std::string_view label) {
    QAction* action = menu->addAction(qs(label));
    action->setObjectName(QStringLiteral("action%1").arg(id));
    connect(action, &QAction::triggered, this, [this, id] { m_command(id); });
    m_actions[id] = action;
}

void MainMenus::buildSettings() {
    QMenu* menu = m_settings->menu();
    addItem(menu, command::kLogIn, text::kMenuLogIn);
    addItem(menu, command::kLogOut, text::kMenuLogOut);
    addItem(menu, command::kStartupFolder, text::kMenuStartupFolder);
    addItem(menu, command::kWizard, text::kMenuWizard);
    addItem(menu, command::kAutoDelete, text::kMenuAutoDelete);
    addItem(menu, command::kAlwaysSettings, text::kMenuAlwaysSettings);
    addItem(menu, command::kVolume, text::kMenuVolume);
    addItem(menu, command::kMoveData, text::kMenuMoveData);
    addItem(menu, command::kColumns, text::kMenuColumns);
    addItem(menu, command::kEditInfo, text::kMenuEditInfo);
    addItem(menu, command::kBoxNames, text::kMenuBoxNames);
    addItem(menu, command::kMakeBoxFolder, text::kMenuMakeBoxFolder);
    addItem(menu, command::kRenameBoxFolder, text::kMenuRenameBoxFolder);
    addItem(menu, command::kExport, text::kMenuExport);
    addItem(menu, command::kImport, text::kMenuImport);
    addItem(menu, command::kBackupSettings, text::kMenuBackupSettings);
}

void MainMenus::buildWindows() {
    QMenu* menu = m_windows->menu();
    addItem(menu, command::kTile, text::kMenuTile);
    addItem(menu, command::kTileRows, text::kMenuTileRows);
    addItem(menu, command::kTileColumns, text::kMenuTileColumns);
    addItem(menu, command::kCascade, text::kMenuCascade);
}

void MainMenus::buildHelp() {
    QMenu* menu = m_help->menu();
    addItem(menu, command::kManual, text::kMenuManual);
    addItem(menu, command::kUpdate, text::kMenuUpdate);
    addItem(menu, command::kDialogueLog, text::kMenuDialogueLog);
    addItem(menu, command::kAbout, text::kMenuAbout);
}

void MainMenus::refreshWindowItems() {
    QMenu* menu = m_windows->menu();
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = kWindowMenuFixedItems; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        delete items[i];
    }
    m_lists.addMenuItems(*menu);
}

void MainMenus::updateStates(const Enabled& enabled) {
    for (auto& [id, action] : m_actions) {
        action->setEnabled(enabled(id));
    }
}

}  // namespace orven::ui
