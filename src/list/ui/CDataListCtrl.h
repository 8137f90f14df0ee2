#pragma once

#include <QTableView>

#include "list/ListSort.h"

namespace orven::ui {

// The table of a list window: one row per message, full-row and multiple selection, grid
// lines, rows 19 pixels high, cells drawn by ListCellDelegate, tooltips from the model.
// Header clicks are reported (sectionClicked); the table never sorts by itself.
class CDataListCtrl : public QTableView {
    Q_OBJECT

  public:
    static constexpr int kRowHeight = 19;
    static constexpr int kFontPixels = 13;

    explicit CDataListCtrl(QWidget* parent = nullptr);

    // The header of section shows the arrow of the direction; every other arrow is removed.
    void showSortArrow(int section, SortDirection direction);
    void clearSortArrows();

    // The row at the top of the visible rows (0 when there are none).
    int firstVisibleRow() const;
    // Scrolls so that row is the first visible one, as far as the rows allow.
    void setFirstVisibleRow(int row);
};

}  // namespace orven::ui
