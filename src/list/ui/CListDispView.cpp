#include "list/ui/CListDispView.h"

#include <algorithm>
#include <numeric>

#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

#include "list/ui/CDataListCtrl.h"
#include "list/ui/ListHost.h"
#include "list/ui/ListTableModel.h"
#include "resources/ListViewTexts.h"
#include "resources/Texts.h"

namespace orven::ui {
namespace {

// Column sizing measures at most this many of a column's longest texts.
constexpr std::size_t kMeasuredTexts = 64;
constexpr int kListColumnPadding = 8;
constexpr int kFirstColumnExtra = 5;

QString qstr(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool failed(BuildResult result) {
    return result == BuildResult::Failed || result == BuildResult::OutOfMemory;
}

}  // namespace

CListDispView::CListDispView(ListHost& host, int windowNumber, QWidget* parent)
    : QWidget(parent),
      m_host(host),
      m_windowNumber(std::clamp(windowNumber, 1, CORVENDoc::kListWindows)),
      m_list(host.context.store()),
      m_model(new ListTableModel(m_list, this)),
      m_control(new CDataListCtrl(this)) {
    setObjectName("listDispView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, kMargin, kMargin);
    layout->addWidget(m_control);
    m_control->setModel(m_model);
    connect(m_control->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CListDispView::onHeaderClicked);
    connect(m_control->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateCommandState(); });
    connect(m_control, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && m_host.editRequested) {
            m_host.editRequested(m_windowNumber);
        }
    });
    loadSource(true);
}

// The table and the model go before the rows they show.
CListDispView::~CListDispView() {
    delete m_control;
    delete m_model;
}

void CListDispView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_started) {
        firstBuild();
    }
}

void CListDispView::firstBuild() {
    m_started = true;
    const BuildResult result =
        m_list.isResponseList() ? buildResponses(false) : buildBoxes(false, false);
    m_failed = failed(result);
    AutoSizeColumns();
    finishBuild(result);
}

bool CListDispView::boxesFailedToOpen() const {
    if (!m_started) {
        const_cast<CListDispView*>(this)->firstBuild();
    }
    return m_failed;
}

// The window's slot: its folder, its box list (the title, "?" read as ",") and the columns.
void CListDispView::loadSource(bool columns) {
    const CORVENDoc& doc = m_host.context.doc;
    const auto slot = static_cast<std::size_t>(m_windowNumber - 1);
    const std::string boxList = doc.windowBoxLists[slot].str();
    m_model->resetAround([&] {
        m_list.setSource({doc.dataFolder.str(), doc.windowFolderNames[slot].str(), boxList});
        if (columns) {
            m_list.setBoxColumns(ListColumns::fromColumnSet(doc.columns));
        }
    });
    setWindowTitle(QString::fromStdString(boxList).replace(u'?', u','));
}

void CListDispView::setWindowNumber(int windowNumber) {
    m_windowNumber = std::clamp(windowNumber, 1, CORVENDoc::kListWindows);
}

QString CListDispView::countsLineText() const {
    CountsLine::Counts counts = m_list.counts();
    counts.folderTotal = m_folderTotal;
    return QString::fromStdString(m_list.isResponseList() ? CountsLine::responseList(counts)
                                                          : CountsLine::boxList(counts));
}

void CListDispView::refresh() {
    RefreshList(false, true, true);
}

void CListDispView::BuildBoxList(bool keepMode, bool keepMainEnabled) {
    if (!m_list.building()) {
        finishBuild(buildBoxes(keepMode, keepMainEnabled));
    }
}

void CListDispView::BuildResponseList(bool keepMode) {
    if (!m_list.building()) {
        finishBuild(buildResponses(keepMode));
    }
}

BuildResult CListDispView::buildBoxes(bool keepMode, bool keepMainEnabled) {
    const bool disabled = !keepMainEnabled && disableMainWindow();
    m_control->setUpdatesEnabled(false);
    loadSource(false);
    const BuildResult result = m_list.BuildBoxList(keepMode);
    m_control->setUpdatesEnabled(true);
    enableMainWindow(disabled);
    return result;
}

BuildResult CListDispView::buildResponses(bool keepMode) {
    const bool disabled = disableMainWindow();
    m_control->setUpdatesEnabled(false);
    loadSource(false);
    const BuildResult result = m_list.BuildResponseList(keepMode);
    m_control->setUpdatesEnabled(true);
    enableMainWindow(disabled);
    return result;
}

void CListDispView::finishBuild(BuildResult result) {
    if (result == BuildResult::OutOfMemory) {
        m_host.context.tell(text::kListShowFailed, text::kErrorTitle);
    }
    showSortState();
    UpdateCommandState();
    updateCounts();
}

void CListDispView::ShowNotDownloaded() {
    if (m_list.building()) {
        return;
    }
    m_list.ShowNotDownloaded();
    showSortState();
    UpdateCommandState();
    if (m_host.countsChanged) {
        m_host.countsChanged();
    }
}

void CListDispView::RefreshList(bool rebuildColumns, bool keepUserSort, bool keepSelection) {
    if (m_list.building()) {
        return;
    }
    if (m_list.isResponseList()) {
        RefreshResponseList(keepSelection);
        return;
    }
    const std::vector<int> selected = keepSelection ? selectedRows() : std::vector<int>();
    const int first = m_control->firstVisibleRow();
    const int left = m_control->horizontalScrollBar()->value();
    const bool disabled = disableMainWindow();
    m_control->setUpdatesEnabled(false);
    loadSource(rebuildColumns);
    std::vector<int> reselected;
    const BuildResult result = m_list.RefreshList(keepUserSort, selected, reselected);
    if (rebuildColumns) {
        AutoSizeColumns();
    }
    select(reselected);
    m_control->setFirstVisibleRow(first);
    m_control->horizontalScrollBar()->setValue(left);
    m_control->setUpdatesEnabled(true);
    enableMainWindow(disabled);
    finishBuild(result);
}

void CListDispView::RefreshResponseList(bool reselect) {
    if (m_list.building()) {
        return;
    }
    const std::vector<int> selected = selectedRows();
    const int first = m_control->firstVisibleRow();
    const bool disabled = disableMainWindow();
    m_control->setUpdatesEnabled(false);
    loadSource(false);
    std::vector<int> reselected;
    const BuildResult result = m_list.RefreshResponseList(reselect, selected, reselected);
    AutoSizeColumns();
    select(reselected);
    m_control->setFirstVisibleRow(first);
    m_control->setUpdatesEnabled(true);
    enableMainWindow(disabled);
    finishBuild(result);
}

std::vector<int> CListDispView::selectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_control->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// Selects the rows (in display order) and puts the focus on the first of them.
void CListDispView::select(const std::vector<int>& rows) {
    const int lastColumn = m_model->columnCount() - 1;
    if (rows.empty() || lastColumn < 0) {
        return;
    }
    QItemSelection selection;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= rows.size(); ++i) {
        if (i == rows.size() || rows[i] != rows[i - 1] + 1) {
            selection.select(m_model->index(rows[start], 0),
                             m_model->index(rows[i - 1], lastColumn));
            start = i;
        }
    }
    QItemSelectionModel* model = m_control->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    model->setCurrentIndex(m_model->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

void CListDispView::UpdateCommandState() {
    m_flags = m_list.UpdateCommandState(selectedRows());
    if (m_host.setOperationFlags) {
        m_host.setOperationFlags(m_windowNumber, m_flags);
    }
}

int CListDispView::GetSelectedMessage(std::string& filePath) const {
    return m_list.GetSelectedMessage(selectedRows(), filePath);
}

void CListDispView::onHeaderClicked(int section) {
    m_model->sortByHeader(section);
    // The header turns its arrow on a click by itself; the list's state decides.
    showSortState();
}

void CListDispView::showSortState() {
    const ListSort& sort = m_list.sortState();
    const std::vector<ListColumn>& columns = m_list.columns();
    const auto it = std::find_if(columns.begin(), columns.end(), [&](const ListColumn& column) {
        return sort.column() == column.role;
    });
    if (m_list.isResponseList() || it == columns.end()) {
        m_control->clearSortArrows();
        return;
    }
    m_control->showSortArrow(static_cast<int>(it - columns.begin()), sort.direction());
}

void CListDispView::updateCounts() {
    if (m_host.recountFolderTotal) {
        m_folderTotal = m_host.recountFolderTotal();
    }
    if (m_host.countsChanged) {
        m_host.countsChanged();
    }
}

void CListDispView::AutoSizeColumns() {
    const QFontMetrics header(m_control->horizontalHeader()->font());
    const std::vector<ListColumn>& columns = m_list.columns();
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        m_host.context.ui.pump();
        const QString name = qstr(columns[static_cast<std::size_t>(column)].name);
        int width = std::max(widestCell(column), header.horizontalAdvance(name) + header.height());
        width += width > 0 ? kListColumnPadding : 0;
        width += column == 0 ? kFirstColumnExtra : 0;
        m_control->setColumnWidth(column, width);
    }
}

// The widest text is among the longest ones: texts are measured longest first until no
// shorter text could be wider, or kMeasuredTexts were measured.
int CListDispView::widestCell(int column) const {
    const auto at = static_cast<std::size_t>(column);
    const auto rows = static_cast<std::size_t>(m_list.rowCount());
    std::vector<std::size_t> lengths(rows);
    std::size_t longest = 0;
    for (std::size_t row = 0; row < rows; ++row) {
        lengths[row] = m_list.cellText(static_cast<int>(row), at).size();
        longest = std::max(longest, lengths[row]);
    }
    // Rows by length, longest first (a counting sort).
    std::vector<std::size_t> next(longest + 2, 0);
    for (std::size_t length : lengths) {
        ++next[longest - length + 1];
    }
    std::partial_sum(next.begin(), next.end(), next.begin());
    std::vector<int> byLength(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        byLength[next[longest - lengths[row]]++] = static_cast<int>(row);
    }
    const QFontMetrics metrics(m_control->font());
    const int widestChar = std::max(1, metrics.maxWidth());
    int widest = 0;
    for (std::size_t i = 0; i < rows && i < kMeasuredTexts; ++i) {
        const int row = byLength[i];
        if (static_cast<int>(lengths[static_cast<std::size_t>(row)]) * widestChar <= widest) {
            break;
        }
        widest = std::max(widest, metrics.horizontalAdvance(qstr(m_list.cellText(row, at))));
    }
    return widest;
}

bool CListDispView::disableMainWindow() {
    QWidget* main = window();
    if (main == this || !main->isEnabled()) {
        return false;
    }
    main->setEnabled(false);
    return true;
}

void CListDispView::enableMainWindow(bool wasDisabled) {
    if (wasDisabled) {
        window()->setEnabled(true);
        window()->activateWindow();
    }
}

}  // namespace orven::ui
