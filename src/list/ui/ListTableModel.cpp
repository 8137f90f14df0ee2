#include "list/ui/ListTableModel.h"

#include <vector>

#include "list/ImportCode.h"
#include "list/MessageList.h"

namespace orven::ui {
namespace {

QString qstr(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ListTableModel::ListTableModel(MessageList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list) {
    m_list.setObserver({[this] { beginResetModel(); }, [this] { endResetModel(); }});
}

ListTableModel::~ListTableModel() {
    m_list.setObserver({});
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_list.rowCount();
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.columns().size());
}

bool ListTableModel::isCheckColumn(int column) const {
    return ListColumns::isCheckColumn(m_list.columns()[static_cast<std::size_t>(column)].name);
}

bool ListTableModel::isImportColumn(int column) const {
    return m_list.columns()[static_cast<std::size_t>(column)].role == ColumnRole::Import;
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const auto column = static_cast<std::size_t>(index.column());
    const std::u16string_view cell = m_list.cellText(index.row(), column);
    switch (role) {
        case Qt::DisplayRole:
            return qstr(cell);
        case Qt::CheckStateRole:
            if (isCheckColumn(index.column())) {
                return ImportCode::parse(cell) != 0 ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        case kImportCodeRole:
            return isImportColumn(index.column()) ? QVariant(ImportCode::parse(cell)) : QVariant();
        case Qt::ToolTipRole:
            if (isImportColumn(index.column())) {
                const std::string_view tip = ImportCode::tooltip(ImportCode::parse(cell));
                return QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size()))
                    .left(kTooltipChars);
            }
            return {};
        case Qt::TextAlignmentRole:
            return m_list.columns()[column].align == ColumnAlign::Left
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignHCenter | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const ListColumn& column = m_list.columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return qstr(column.name);
    }
    if (role == Qt::TextAlignmentRole) {
        return column.align == ColumnAlign::Left ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                 : QVariant(Qt::AlignCenter);
    }
    return {};
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isCheckColumn(index.column())) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool ListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || !isCheckColumn(index.column())) {
        return false;
    }
    const bool on = value.value<Qt::CheckState>() == Qt::Checked;
    if (!m_list.SetFlag(index.row(), on)) {
        return false;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::CheckStateRole});
    return true;
}

std::optional<SortDirection> ListTableModel::sortByHeader(int column) {
    if (!m_list.sortsByHeader() || column < 0 || column >= columnCount()) {
        return std::nullopt;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> before = m_list.order();
    const std::optional<SortDirection> direction =
        m_list.SortByHeader(static_cast<std::size_t>(column));
    const std::vector<int>& after = m_list.order();
    std::vector<int> rowOf(after.size());
    for (std::size_t row = 0; row < after.size(); ++row) {
        rowOf[static_cast<std::size_t>(after[row])] = static_cast<int>(row);
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from) {
        const int moved =
            rowOf[static_cast<std::size_t>(before[static_cast<std::size_t>(index.row())])];
        to.append(this->index(moved, index.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return direction;
}

void ListTableModel::resetAround(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

}  // namespace orven::ui
