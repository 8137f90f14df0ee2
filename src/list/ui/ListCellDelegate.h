#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace orven::ui {

// Draws the cells of a message list: one line of text inset by 4 pixels and cut with an
// ellipsis, check boxes in check box columns, pictures in 取込 cells, and selected rows white
// on blue. A left click in a check box cell toggles it.
class ListCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    static constexpr int kTextInset = 4;
    static constexpr int kCheckSize = 13;
    static constexpr int kCheckMinWidth = 19;    // narrower cells show no check box
    static constexpr int kPictureMinWidth = 39;  // narrower cells show no picture
    static constexpr int kPictureWidth = 40;
    static QColor selectedBackground() { return QColor(0x31, 0x6A, 0xC5); }

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

  private:
    static void drawCheckBox(QPainter* painter, const QRect& cell, bool checked, QColor ink);
    static void drawImportPicture(QPainter* painter, const QRect& cell, int code, QColor ink);
    static void drawText(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index, QColor ink);

    bool m_skipRelease = false;  // the release that ends a double click toggles nothing
};

}  // namespace orven::ui
