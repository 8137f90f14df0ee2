#pragma once

#include <functional>
#include <map>
#include <string_view>

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace orven::ui {

class DialogBar;
class DropMenu;
class ListWindows;

// The three menus that drop down below the dialog bar's "設定", "ウィンドウ" and "ヘルプ"
// buttons. Every item forwards its id to the window; which items may be chosen comes from
// the session's command table.
class MainMenus : public QObject {
    Q_OBJECT

  public:
    using Command = std::function<void(int id)>;
    using Enabled = std::function<bool(int id)>;

    MainMenus(DialogBar& bar, ListWindows& lists, Command command, QWidget* window);

    QAction* action(int id) const { return m_actions.at(id); }
    DropMenu& settings() { return *m_settings; }
    DropMenu& windows() { return *m_windows; }
    DropMenu& help() { return *m_help; }
    // The window menu's items below the fixed ones: one per list window.
    void refreshWindowItems();
    void updateStates(const Enabled& enabled);

  private:
    void addItem(QMenu* menu, int id, std::string_view label);
    void buildSettings();
    void buildWindows();
    void buildHelp();

    ListWindows& m_lists;
    Command m_command;
    DropMenu* m_settings;
    DropMenu* m_windows;
    DropMenu* m_help;
    std::map<int, QAction*> m_actions;
};

}  // namespace orven::ui
