#pragma once

#include <map>

#include <QWidget>

class QPushButton;

namespace orven::ui {

class NameLine;

// The seven permissions the active list view grants; all false with no list view.
struct OperationFlags {
    bool saveToFolder = false;
    bool voiceDownload = false;
    bool play = false;
    bool moveCopy = false;
    bool add = false;
    bool remove = false;
    bool upload = false;
};

// What the buttons' enable rules look at.
struct BarState {
    bool loggedIn = false;
    bool listActive = false;
    bool storeHasBoxKinds = false;  // the store folder holds both box-kind folders
    bool folderLineFilled = false;  // the folder name line holds more than one character
    OperationFlags flags;
};

// The bar at the top of the main window: the command buttons 1001 to 1018 ("button1001" ...)
// and the folder and box name lines.
class DialogBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFirstButton = 1001;
    static constexpr int kLastButton = 1018;

    explicit DialogBar(QWidget* parent);

    QPushButton* button(int id) const { return m_buttons.at(id); }
    NameLine* folderLine() const { return m_folderLine; }
    NameLine* boxLine() const { return m_boxLine; }

    // Whether button `id` may be used in `state`, by the product's rules.
    static bool allowed(int id, const BarState& state);
    // Buttons whose commands this program carries; the others stay disabled.
    static bool implemented(int id);
    void updateEnabled(const BarState& state);

    // Places the three menu buttons at the right edge and stretches the name lines to it.
    void layoutTo(int rightEdge);

  private:
    void addButton(int id, int column, int row);

    std::map<int, QPushButton*> m_buttons;
    NameLine* m_folderLine;
    NameLine* m_boxLine;
};

}  // namespace orven::ui
