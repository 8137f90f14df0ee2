#pragma once

#include <QElapsedTimer>
#include <QMenu>
#include <QObject>

class QPushButton;

namespace orven::ui {

// A menu that drops down below its dialog-bar button. Pressing the button while the menu is
// open closes it instead of opening it again.
class DropMenu : public QObject {
    Q_OBJECT

  public:
    DropMenu(QPushButton* button, const QString& objectName, QWidget* parent);

    QMenu* menu() { return &m_menu; }
    bool isOpen() const { return m_menu.isVisible(); }
    void close() { m_menu.hide(); }

    // The button's click: true when the caller should prepare and then call open().
    bool toggle();
    void open();

  private:
    QPushButton* m_button;
    QMenu m_menu;
    // The press on the button that closed the popup comes back as a click; it must not reopen.
    QElapsedTimer m_closedAt;
};

}  // namespace orven::ui
