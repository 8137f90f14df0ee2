#pragma once

#include <functional>
#include <optional>

#include <QAbstractTableModel>

#include "list/ListSort.h"

namespace orven {
class MessageList;
}

namespace orven::ui {

// The rows of a list window as Qt's views see them: one model over the window's MessageList,
// in display order. A cell's text is made when the view asks for it; check box columns answer
// the check state and write the flag when it is set.
class ListTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The import code (0 to 3) of a 取込 cell, for drawing its picture.
    static constexpr int kImportCodeRole = Qt::UserRole + 1;
    // The tooltip is cut to this many characters.
    static constexpr int kTooltipChars = 80;

    // The list must outlive the model; the model follows its builds and display changes.
    explicit ListTableModel(MessageList& list, QObject* parent = nullptr);
    ~ListTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Qt::CheckStateRole in a ﾌﾗｸﾞ cell: sets or clears the row's flag in its file at once.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // A header click: sorts, moving persistent indexes (and so the selection) with the rows.
    std::optional<SortDirection> sortByHeader(int column);
    // Runs a change of the list's source or columns as a reset of the model.
    void resetAround(const std::function<void()>& change);

  private:
    bool isCheckColumn(int column) const;
    bool isImportColumn(int column) const;

    MessageList& m_list;
};

}  // namespace orven::ui
