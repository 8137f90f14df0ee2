#include "list/ui/CCheckListCtrl.h"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "app/ui/QtText.h"
#include "resources/Texts.h"

namespace orven::ui {

namespace {

constexpr int kCheckColumn = 0;
constexpr int kNumberColumn = 1;
constexpr int kCheckWidth = 45;
constexpr int kNumberWidth = 120;
constexpr int kCheckSize = 13;
constexpr int kRowHeight = 18;
constexpr QRgb kGreyText = 0x808080;
constexpr QRgb kGreyBackground = 0xD8E9EC;

const QString kShownText = QString::number(static_cast<int>(BoxChoice::Check::Shown));
const QString kOffText = QString::number(static_cast<int>(BoxChoice::Check::Off));

QString checkOf(const QModelIndex& index) {
    return index.sibling(index.row(), kCheckColumn).data().toString();
}

// Draws the check cell as a check box and greys fixed rows (every row while disabled).
class CheckDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.column() != kCheckColumn) {
            return;
        }
        QStyleOptionViewItem box(option);
        const bool grey = greyed(option, index);
        const QPoint centre = option.rect.center();
        box.rect =
            QRect(centre.x() - kCheckSize / 2, centre.y() - kCheckSize / 2, kCheckSize, kCheckSize);
        box.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_Enabled);
        box.state |= checkOf(index) == kOffText ? QStyle::State_Off : QStyle::State_On;
        if (!grey) {
            box.state |= QStyle::State_Enabled;
        }
        const QWidget* widget = option.widget;
        widget->style()->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter,
                                       widget);
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == kCheckColumn) {
            option->text.clear();  // the check picture shows it
        }
        if (greyed(*option, index)) {
            option->backgroundBrush = QColor(kGreyBackground);
            option->palette.setColor(QPalette::Text, QColor(kGreyText));
        }
    }

  private:
    static bool greyed(const QStyleOptionViewItem& option, const QModelIndex& index) {
        return checkOf(index) == kShownText || !(option.state & QStyle::State_Enabled);
    }
};

}  // namespace

CCheckListCtrl::CCheckListCtrl(QWidget* parent) : QTableWidget(0, 2, parent) {
    setHorizontalHeaderLabels({qs(text::kColumnChoice), qs(text::kColumnBoxNumber)});
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->resizeSection(kCheckColumn, kCheckWidth);
    horizontalHeader()->resizeSection(kNumberColumn, kNumberWidth);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(kRowHeight, fontMetrics().height() + 4));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new CheckDelegate(this));
}

void CCheckListCtrl::showRows(const std::vector<BoxChoice::Row>& rows) {
    if (rowCount() != static_cast<int>(rows.size())) {
        fill(rows);
        return;
    }
    for (int row = 0; row < rowCount(); ++row) {
        item(row, kCheckColumn)->setText(QString::number(static_cast<int>(rows[row].check)));
    }
    viewport()->update();  // the number cell's look follows the check
}

void CCheckListCtrl::fill(const std::vector<BoxChoice::Row>& rows) {
    setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const QString texts[] = {QString::number(static_cast<int>(rows[row].check)),
                                 qs(rows[row].name)};
        for (int column : {kCheckColumn, kNumberColumn}) {
            auto* cell = new QTableWidgetItem(texts[column]);
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            cell->setTextAlignment(Qt::AlignCenter);
            setItem(row, column, cell);
        }
    }
    horizontalHeader()->resizeSection(kNumberColumn,
                                      std::max(kNumberWidth, sizeHintForColumn(kNumberColumn)));
}

void CCheckListCtrl::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && index.column() == kCheckColumn) {
        emit checkClicked(index.row());
    }
}

void CCheckListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && currentRow() >= 0) {
        emit checkClicked(currentRow());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace orven::ui
