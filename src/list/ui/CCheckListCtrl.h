#pragma once

#include <vector>

#include <QTableWidget>

#include "list/BoxChoice.h"

namespace orven::ui {

// A box list with a check per row: "選択" (the check) and "     BOX番号     ". Each row's check
// is kept as the text of its first cell ("0", "1", "2") and drawn as a check box; a "2" row
// is greyed and cannot be toggled, and while the control is disabled every row looks that
// way. The control does not change a check itself: a click (or Space) on a row's check cell
// asks for it through checkClicked, and the owner shows the rows again.
class CCheckListCtrl : public QTableWidget {
    Q_OBJECT

  public:
    explicit CCheckListCtrl(QWidget* parent = nullptr);

    // Fills the list on the first call, then updates the checks in place.
    void showRows(const std::vector<BoxChoice::Row>& rows);

  signals:
    void checkClicked(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void fill(const std::vector<BoxChoice::Row>& rows);
};

}  // namespace orven::ui
