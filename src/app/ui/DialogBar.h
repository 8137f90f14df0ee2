#pragma once

#include <functional>
#include <map>

#include <QWidget>

#include "app/CommandIds.h"
#include "app/CommandTable.h"

class QPushButton;

namespace orven::ui {

using orven::OperationFlags;

class NameLine;

// The bar at the top of the main window: the command buttons 1001 to 1018 ("button1001" ...)
// and the folder and box name lines.
class DialogBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFirstButton = command::kFirstButton;
    static constexpr int kLastButton = command::kLastButton;

    explicit DialogBar(QWidget* parent);

    QPushButton* button(int id) const { return m_buttons.at(id); }
    NameLine* folderLine() const { return m_folderLine; }
    NameLine* boxLine() const { return m_boxLine; }

    // Enables each button by the rule (the session's command table).
    void updateEnabled(const std::function<bool(int id)>& enabled);

    // Places the three menu buttons at the right edge and stretches the name lines to it.
    void layoutTo(int rightEdge);

  private:
    void addButton(int id, int column, int row);

    std::map<int, QPushButton*> m_buttons;
    NameLine* m_folderLine;
    NameLine* m_boxLine;
};

}  // namespace orven::ui
