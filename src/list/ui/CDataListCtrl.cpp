#include "list/ui/CDataListCtrl.h"

#include <QHeaderView>
#include <QScrollBar>

#include "list/ui/ListCellDelegate.h"

namespace orven::ui {

CDataListCtrl::CDataListCtrl(QWidget* parent) : QTableView(parent) {
    setObjectName("dataListCtrl");
    QFont font;
    font.setFamilies({"ＭＳ Ｐゴシック", "MS PGothic", "Noto Sans CJK JP", "IPAPGothic"});
    font.setPixelSize(kFontPixels);
    font.setWeight(QFont::Normal);
    setFont(font);
    horizontalHeader()->setFont(font);
    setItemDelegate(new ListCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    clearSortArrows();
}

void CDataListCtrl::showSortArrow(int section, SortDirection direction) {
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(
        section, direction == SortDirection::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CDataListCtrl::clearSortArrows() {
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

int CDataListCtrl::firstVisibleRow() const {
    const int row = rowAt(0);
    return row < 0 ? 0 : row;
}

void CDataListCtrl::setFirstVisibleRow(int row) {
    executeDelayedItemsLayout();
    updateGeometries();
    verticalScrollBar()->setValue(row);
}

}  // namespace orven::ui
