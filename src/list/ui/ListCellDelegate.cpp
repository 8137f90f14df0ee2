#include "list/ui/ListCellDelegate.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "list/ui/ListTableModel.h"

namespace orven::ui {
namespace {

bool isCheckCell(const QModelIndex& index) {
    return (index.flags() & Qt::ItemIsUserCheckable) != 0;
}

}  // namespace

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QColor ink = selected ? QColor(Qt::white) : QColor(Qt::black);
    painter->save();
    painter->fillRect(option.rect, selected ? selectedBackground() : QColor(Qt::white));
    const QVariant code = index.data(ListTableModel::kImportCodeRole);
    if (isCheckCell(index)) {
        if (option.rect.width() > kCheckMinWidth) {
            const bool checked =
                index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
            drawCheckBox(painter, option.rect, checked, ink);
        }
    } else if (code.isValid()) {
        if (option.rect.width() > kPictureMinWidth) {
            drawImportPicture(painter, option.rect, code.toInt(), ink);
        }
    } else {
        drawText(painter, option, index, ink);
    }
    painter->restore();
}

void ListCellDelegate::drawText(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index, QColor ink) {
    const QRect area = option.rect.adjusted(kTextInset, 0, -kTextInset, 0);
    const QString text = option.fontMetrics.elidedText(
        index.data(Qt::DisplayRole).toString(), Qt::ElideRight, area.width(), Qt::TextSingleLine);
    const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    painter->setFont(option.font);
    painter->setPen(ink);
    painter->drawText(area, static_cast<int>(align | Qt::TextSingleLine), text);
}

void ListCellDelegate::drawCheckBox(QPainter* painter, const QRect& cell, bool checked,
                                    QColor ink) {
    QRect box(0, 0, kCheckSize, kCheckSize);
    box.moveCenter(cell.center());
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(box, Qt::white);
    painter->setPen(ink == Qt::white ? QColor(Qt::white) : QColor(0x1C, 0x51, 0x80));
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    if (checked) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(QColor(0x21, 0xA1, 0x21), 2));
        const QPointF o = box.topLeft();
        painter->drawPolyline(
            QPolygonF({o + QPointF(3, 6.5), o + QPointF(5.5, 9.5), o + QPointF(10, 3.5)}));
    }
}

// A page for the recording information, a speaker when the voice data came with it, a dot
// when the message was not played on the main unit, a cross when its data there is deleted.
void ListCellDelegate::drawImportPicture(QPainter* painter, const QRect& cell, int code,
                                         QColor ink) {
    const int left = cell.left() + cell.width() / 2 - kPictureWidth / 2;
    const int top = cell.center().y() - 6;
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(ink, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRect(left + 2, top, 9, 12));
    painter->drawLine(left + 4, top + 4, left + 9, top + 4);
    painter->drawLine(left + 4, top + 7, left + 9, top + 7);
    if (code == 2) {
        return;
    }
    QPainterPath speaker;
    speaker.addPolygon(QPolygonF({QPointF(left + 15, top + 4), QPointF(left + 18, top + 4),
                                  QPointF(left + 22, top), QPointF(left + 22, top + 12),
                                  QPointF(left + 18, top + 8), QPointF(left + 15, top + 8)}));
    painter->fillPath(speaker, ink);
    painter->drawArc(QRect(left + 20, top + 2, 6, 8), -60 * 16, 120 * 16);
    if (code == 0) {
        painter->setBrush(ink == Qt::white ? QColor(Qt::white) : QColor(0xD0, 0x20, 0x20));
        painter->setPen(Qt::NoPen);
        painter->drawEllipse(QRect(left + 30, top + 3, 6, 6));
    } else if (code == 3) {
        painter->setPen(QPen(ink == Qt::white ? QColor(Qt::white) : QColor(0xD0, 0x20, 0x20), 2));
        painter->drawLine(left + 29, top + 2, left + 37, top + 10);
        painter->drawLine(left + 37, top + 2, left + 29, top + 10);
    }
}

bool ListCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!isCheckCell(index)) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse == nullptr || mouse->button() != Qt::LeftButton ||
        !option.rect.contains(mouse->position().toPoint())) {
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_skipRelease = true;
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease) {
        return false;
    }
    if (m_skipRelease) {
        m_skipRelease = false;
        return true;
    }
    const bool checked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

}  // namespace orven::ui
