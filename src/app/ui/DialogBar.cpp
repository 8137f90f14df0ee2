#include "app/ui/DialogBar.h"

#include <array>
#include <string_view>

#include <QPushButton>

#include "app/ui/NameLine.h"
#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {
namespace {

constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 26;
constexpr int kGap = 3;
constexpr int kLineLeft = 5;
constexpr int kLineHeight = 40;

constexpr std::array<std::string_view, DialogBar::kLastButton - DialogBar::kFirstButton + 1>
    kLabels{text::kButtonFolderDownload, text::kButtonBulkDownload, text::kButtonSelectDownload,
            text::kButtonVoiceDownload,  text::kButtonSettings,     text::kButtonWindow,
            text::kButtonHelp,           text::kButtonFolderName,   text::kButtonBox,
            text::kButtonSelectShow,     text::kButtonShowAll,      text::kButtonNotDownloaded,
            text::kButtonSaveElsewhere,  text::kButtonPlay,         text::kButtonErase,
            text::kButtonMoveCopy,       text::kButtonUpload,       text::kButtonAdd};

// Where each button sits, by column and row: the downloads and the folder on the first row
// with the menus at its right edge (placed again by layoutTo), what the list shows on the
// second, what is done to the listed messages on the third. Each row leaves the menus room at
// the smallest window width.
struct Slot {
    int id, column, row;
};
constexpr int kRows = 3;
constexpr std::array<Slot, 18> kSlots{{{command::kFolderDownload, 0, 0},
                                       {command::kBulkDownload, 1, 0},
                                       {command::kSelectDownload, 2, 0},
                                       {command::kVoiceDownload, 3, 0},
                                       {command::kFolderName, 4, 0},
                                       {command::kSettings, 6, 0},
                                       {command::kWindow, 7, 0},
                                       {command::kHelp, 8, 0},
                                       {command::kBox, 0, 1},
                                       {command::kSelectShow, 1, 1},
                                       {command::kShowAll, 2, 1},
                                       {command::kNotDownloaded, 3, 1},
                                       {command::kSaveElsewhere, 0, 2},
                                       {command::kPlay, 1, 2},
                                       {command::kErase, 2, 2},
                                       {command::kMoveCopy, 3, 2},
                                       {command::kUpload, 4, 2},
                                       {command::kAdd, 5, 2}}};

}  // namespace

DialogBar::DialogBar(QWidget* parent) : QWidget(parent) {
    setObjectName("dialogBar");
    for (const Slot& slot : kSlots) {
        addButton(slot.id, slot.column, slot.row);
    }
    const int linesTop = kRows * (kButtonHeight + kGap) + kGap;
    m_folderLine = new NameLine(QChar('/'), "folderNameLine", this);
    m_boxLine = new NameLine(QChar(','), "boxNameLine", this);
    m_folderLine->setGeometry(kLineLeft, linesTop, 400, kLineHeight);
    m_boxLine->setGeometry(kLineLeft, linesTop + kLineHeight + kGap, 400, kLineHeight);
    setMinimumHeight(linesTop + 2 * (kLineHeight + kGap));
}

void DialogBar::addButton(int id, int column, int row) {
    auto* button = new QPushButton(qs(kLabels[id - kFirstButton]), this);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setGeometry(kLineLeft + column * (kButtonWidth + kGap),
                        kGap + row * (kButtonHeight + kGap), kButtonWidth, kButtonHeight);
    m_buttons[id] = button;
}

void DialogBar::updateEnabled(const std::function<bool(int id)>& enabled) {
    for (auto& [id, button] : m_buttons) {
        button->setEnabled(enabled(id));
    }
}

void DialogBar::layoutTo(int rightEdge) {
    const int widthOf = 100;
    const std::array<std::pair<int, int>, 3> menus{
        {{command::kHelp, 105}, {command::kWindow, 208}, {command::kSettings, 311}}};
    for (const auto& [id, offset] : menus) {
        QPushButton* b = m_buttons.at(id);
        b->setGeometry(rightEdge - offset, b->y(), widthOf, b->height());
    }
    for (NameLine* line : {m_folderLine, m_boxLine}) {
        line->setGeometry(line->x(), line->y(), rightEdge - 5 - line->x(), line->height());
    }
}

}  // namespace orven::ui
