#include "list/MessageList.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <numeric>
#include <unordered_set>

#include "list/BoxListText.h"
#include "list/CommandState.h"
#include "platform/CodePage.h"
#include "resources/ListViewTexts.h"
#include "store/MessageInfoFile.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {
namespace {

constexpr std::u16string_view kNotDownloadedMark = u".vminf";
constexpr std::size_t kNumberChars = 3;  // "%03d" of a response message number

bool lacksVoice(const FILESTS_INFO& row) {
    return ListColumns::field(row.filePath).find(kNotDownloadedMark) != std::u16string_view::npos;
}

std::vector<int> identityOrder(std::size_t size) {
    std::vector<int> order(size);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

std::u16string numberText(int n) {
    const std::string digits = std::to_string(1000 + n).substr(1);
    return std::u16string(digits.begin(), digits.end());
}

// Row n-1 holds message n, or a gap when the folder has none.
std::vector<FILESTS_INFO> responseRows(const std::vector<FILESTS_INFO>& found, int& placed) {
    std::map<std::u16string, std::size_t> byNumber;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const std::u16string_view number = ListColumns::field(found[i].boxNumber);
        if (number.size() >= kNumberChars) {
            byNumber.emplace(number.substr(0, kNumberChars), i);
        }
    }
    std::vector<FILESTS_INFO> rows(MessageList::kResponseRows, FILESTS_INFO::zeroed());
    placed = 0;
    for (int n = 1; n <= MessageList::kResponseRows; ++n) {
        FILESTS_INFO& row = rows[static_cast<std::size_t>(n - 1)];
        const std::u16string number = numberText(n);
        const auto it = byNumber.find(number);
        if (it != byNumber.end()) {
            row = found[it->second];
            row.downloadState = 1;
            ++placed;
        } else {
            FILESTS_INFO::setText(row.recordingLength, text::kListCellEmptyLength);
        }
        FILESTS_INFO::setText(row.boxNumber, number);
    }
    return rows;
}

}  // namespace

// Sets a flag for as long as it lives.
class MessageList::Running {
  public:
    explicit Running(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Running() { m_flag = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

  private:
    bool& m_flag;
};

MessageList::MessageList(StoreContext context) : m_context(std::move(context)) {}

void MessageList::setSource(Source source) {
    m_source = std::move(source);
    m_dataPrefix = CodePage::utf8ToUtf16(CORVENDoc::withTrailingSlash(m_source.dataFolder));
    m_response = BoxListText::isResponseList(m_source.boxList);
}

void MessageList::setBoxColumns(std::vector<ListColumn> columns) {
    m_boxColumns = std::move(columns);
}

const std::vector<ListColumn>& MessageList::columns() const {
    static const std::vector<ListColumn> response(ListColumns::responseColumns().begin(),
                                                  ListColumns::responseColumns().end());
    return isResponseList() ? response : m_boxColumns;
}

MessageList::path MessageList::storeFolder() const {
    return path(CORVENDoc::withTrailingSlash(m_source.dataFolder) + m_source.folderName);
}

std::vector<MessageList::path> MessageList::boxFolders() const {
    const BoxListText boxes = BoxListText::parse(m_source.boxList);
    const path store = storeFolder();
    std::vector<path> folders;
    for (const std::string& name : boxes.answering) {
        folders.push_back(store / StoreNames::kAnswering / name);
    }
    for (const std::string& name : boxes.extension) {
        folders.push_back(store / StoreNames::kExtension / name);
    }
    return folders;
}

// The store's context with the window kept alive before every file, also while counting.
StoreContext MessageList::pumping() const {
    StoreContext context = m_context;
    context.folderAccessCheck = [ui = m_context.ui, check = m_context.folderAccessCheck] {
        if (ui != nullptr) {
            ui->pump();
        }
        return !check || check();
    };
    return context;
}

bool MessageList::storeReadable() const {
    std::error_code ec;
    return m_context.accessOk() && std::filesystem::is_directory(storeFolder(), ec);
}

BuildResult MessageList::BuildBoxList(bool keepMode) {
    if (!keepMode && !m_building) {
        m_keepUserSort = false;
    }
    return build(keepMode, [this](std::vector<int>& order) {
        const BuildResult result = readBoxes(order);
        countRows();
        m_counts.boxTotal = m_counts.listTotal;
        orderAsSorted(order);
        return result;
    });
}

// The frame of both builds: one at a time, the display mode, the new order taken over, and
// a list left empty when the rows do not fit in memory.
BuildResult MessageList::build(bool keepMode,
                               const std::function<BuildResult(std::vector<int>&)>& read) {
    if (m_building) {
        return BuildResult::Busy;
    }
    const Running running(m_building);
    if (!keepMode) {
        m_mode = DisplayMode::All;
    }
    try {
        std::vector<int> order;
        const BuildResult result = read(order);
        replaceOrder(std::move(order));
        m_built = true;
        return result;
    } catch (const std::bad_alloc&) {
        clearRows();
        m_built = true;
        return BuildResult::OutOfMemory;
    }
}

BuildResult MessageList::readBoxes(std::vector<int>& order) {
    if (!storeReadable()) {
        clearRows();
        return BuildResult::Failed;
    }
    const std::vector<path> folders = boxFolders();
    const StoreContext context = pumping();
    const MessageFolder counter(context);
    // Each box is listed once: the scan reads the names the count listed.
    std::vector<MessageFolder::Listing> listings(folders.size());
    std::size_t expected = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        expected += static_cast<std::size_t>(counter.CountMessages(folders[i], listings[i]));
    }
    clearRows();
    const BuildResult result = scanBoxes(listings, std::min(expected, kMaxRows));
    order = identityOrder(m_rows.size());
    return result;
}

// Reads the boxes in order until the expected rows are there; a folder that cannot be read
// ends the build with the rows read so far.
BuildResult MessageList::scanBoxes(std::vector<MessageFolder::Listing>& listings,
                                   std::size_t expected) {
    std::unique_ptr<Progress> progress;
    if (!m_built && m_context.ui != nullptr) {
        progress = m_context.ui->openProgress(std::string(text::kListOpenTitle),
                                              std::string(text::kListOpening), nullptr);
    }
    const StoreContext context = pumping();
    MessageFolder folder(context);
    BuildResult result = BuildResult::Built;
    for (MessageFolder::Listing& box : listings) {
        m_context.pump();
        if (m_rows.size() >= expected) {
            break;
        }
        folder.setRecordLimit(expected - m_rows.size());
        const bool appended = appendFolder(folder, box, expected);
        box = {};  // the names are not needed again
        if (!appended) {
            result = BuildResult::Failed;
            break;
        }
        if (progress) {
            progress->setPercent(static_cast<int>(m_rows.size() * 100 / expected));
        }
    }
    if (progress) {
        progress->close();
    }
    return result;
}

bool MessageList::appendFolder(MessageFolder& folder, const MessageFolder::Listing& box,
                               std::size_t expected) {
    if (m_rows.empty()) {
        // The scan's own buffer becomes the rows: nothing is copied.
        return folder.ScanFolder(m_rows, box) == MessageFolder::kScanned;
    }
    std::vector<FILESTS_INFO> found;
    if (folder.ScanFolder(found, box) != MessageFolder::kScanned) {
        return false;
    }
    m_rows.reserve(std::max(expected, m_rows.size() + found.size()));
    m_rows.insert(m_rows.end(), found.begin(), found.end());
    return true;
}

BuildResult MessageList::BuildResponseList(bool keepMode) {
    return build(keepMode, [this](std::vector<int>& order) { return readResponses(order); });
}

BuildResult MessageList::readResponses(std::vector<int>& order) {
    std::vector<FILESTS_INFO> found;
    BuildResult result = BuildResult::Failed;
    if (storeReadable()) {
        const StoreContext context = pumping();
        const MessageFolder folder(context);
        if (folder.ScanFolder(found, storeFolder() / StoreNames::kResponse) ==
            MessageFolder::kScanned) {
            result = BuildResult::Built;
        }
    }
    int placed = 0;
    std::vector<FILESTS_INFO> rows = responseRows(found, placed);
    clearRows();
    m_rows = std::move(rows);
    countRows();
    m_counts.listTotal = placed;
    order = identityOrder(m_rows.size());
    return result;
}

void MessageList::orderAsSorted(std::vector<int>& order) const {
    const std::vector<ListColumn>& shown = columns();
    const auto pump = [this] { m_context.pump(); };
    ListSort::applyDefaultOrder(order, m_rows, shown, m_dataPrefix, pump);
    const std::optional<ColumnRole> user = m_sort.column();
    const bool userShown =
        user && std::any_of(shown.begin(), shown.end(),
                            [&](const ListColumn& column) { return column.role == *user; });
    if (m_keepUserSort && userShown) {
        pump();
        ListSort::sortBy(order, m_rows, *user, m_sort.direction(), m_dataPrefix);
    }
}

void MessageList::replaceOrder(std::vector<int> order) {
    if (m_observer.aboutToChange) {
        m_observer.aboutToChange();
    }
    m_order = std::move(order);
    if (m_observer.changed) {
        m_observer.changed();
    }
}

// The rows are freed, not kept for the next build, so that memory follows what is shown.
void MessageList::clearRows() {
    if (m_observer.aboutToChange) {
        m_observer.aboutToChange();
    }
    std::vector<FILESTS_INFO>().swap(m_rows);
    m_order.clear();
    if (m_observer.changed) {
        m_observer.changed();
    }
}

void MessageList::countRows() {
    m_counts.listTotal = static_cast<int>(m_rows.size());
    m_counts.played = 0;
    m_counts.notPlayed = 0;
    m_anyNotDownloaded = false;
    for (const FILESTS_INFO& row : m_rows) {
        m_counts.played += row.downloadState == 1 ? 1 : 0;
        m_counts.notPlayed += row.downloadState == 2 ? 1 : 0;
        m_anyNotDownloaded = m_anyNotDownloaded || lacksVoice(row);
    }
}

void MessageList::ShowNotDownloaded() {
    if (m_building) {
        return;
    }
    keepOnly(lacksVoice, false);
    m_mode = DisplayMode::NotDownloaded;
}

void MessageList::ShowSelected(Filter matches) {
    if (m_building) {
        return;
    }
    m_selective = std::move(matches);
    keepOnly(m_selective, true);
    m_mode = DisplayMode::Selective;
}

// Drops the rows that do not match, so the rows kept are all the list holds.
void MessageList::keepOnly(const Filter& matches, bool inShownOrder) {
    if (m_observer.aboutToChange) {
        m_observer.aboutToChange();
    }
    std::vector<int> newIndex(m_rows.size(), -1);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (matches(m_rows[i])) {
            newIndex[i] = static_cast<int>(kept);
            m_rows[kept++] = m_rows[i];
        }
    }
    m_rows.resize(kept);
    std::vector<int> order;
    if (inShownOrder) {
        for (int index : m_order) {
            if (newIndex[static_cast<std::size_t>(index)] >= 0) {
                order.push_back(newIndex[static_cast<std::size_t>(index)]);
            }
        }
    } else {
        order = identityOrder(kept);
    }
    m_order = std::move(order);
    const int boxTotal = m_counts.boxTotal;
    countRows();
    m_counts.boxTotal = boxTotal;
    if (m_observer.changed) {
        m_observer.changed();
    }
}

void MessageList::reapplyDisplay() {
    if (m_mode == DisplayMode::NotDownloaded) {
        ShowNotDownloaded();
    } else if (m_mode == DisplayMode::Selective && m_selective) {
        keepOnly(m_selective, true);
    }
}

BuildResult MessageList::RefreshList(bool keepUserSort, const std::vector<int>& selectedRows,
                                     std::vector<int>& reselected) {
    if (building()) {
        return BuildResult::Busy;
    }
    std::vector<std::u16string> paths;
    for (int displayRow : selectedRows) {
        if (displayRow >= 0 && displayRow < rowCount()) {
            paths.emplace_back(ListColumns::field(row(displayRow).filePath));
        }
    }
    const Running running(m_refreshing);
    m_keepUserSort = keepUserSort;
    const BuildResult result = BuildBoxList(true);
    reapplyDisplay();
    reselected = rowsShowing(paths);
    return result;
}

BuildResult MessageList::RefreshResponseList(bool reselect, const std::vector<int>& selectedRows,
                                             std::vector<int>& reselected) {
    if (building()) {
        return BuildResult::Busy;
    }
    const Running running(m_refreshing);
    m_keepUserSort = true;
    const BuildResult result = BuildResponseList(true);
    reapplyDisplay();
    reselected.clear();
    if (reselect && selectedRows.size() == 1 && selectedRows.front() < rowCount()) {
        reselected.push_back(selectedRows.front());
    }
    return result;
}

std::vector<int> MessageList::rowsShowing(const std::vector<std::u16string>& paths) const {
    const std::unordered_set<std::u16string_view> wanted(paths.begin(), paths.end());
    std::vector<int> rows;
    for (int displayRow = 0; displayRow < rowCount() && rows.size() < wanted.size(); ++displayRow) {
        if (wanted.contains(ListColumns::field(row(displayRow).filePath))) {
            rows.push_back(displayRow);
        }
    }
    return rows;
}

const FILESTS_INFO& MessageList::row(int displayRow) const {
    return m_rows[static_cast<std::size_t>(m_order[static_cast<std::size_t>(displayRow)])];
}

std::u16string_view MessageList::cellText(int displayRow, std::size_t column) const {
    const std::vector<ListColumn>& shown = columns();
    if (displayRow < 0 || displayRow >= rowCount() || column >= shown.size()) {
        return {};
    }
    return ListColumns::cellText(shown[column].role, row(displayRow), m_dataPrefix);
}

std::optional<SortDirection> MessageList::SortByHeader(std::size_t column) {
    const std::vector<ListColumn>& shown = columns();
    if (!sortsByHeader() || column >= shown.size()) {
        return std::nullopt;
    }
    const ColumnRole role = shown[column].role;
    const SortDirection direction = m_sort.HeaderClick(role);
    ListSort::applyDefaultOrder(m_order, m_rows, shown, m_dataPrefix);
    ListSort::sortBy(m_order, m_rows, role, direction, m_dataPrefix);
    return direction;
}

std::uint8_t MessageList::markWithFlag(std::uint8_t mark, bool on) {
    return on ? static_cast<std::uint8_t>(mark | 0x01) : static_cast<std::uint8_t>(mark & 0x80);
}

bool MessageList::SetFlag(int displayRow, bool on) {
    if (displayRow < 0 || displayRow >= rowCount()) {
        return false;
    }
    FILESTS_INFO& target = m_rows[static_cast<std::size_t>(m_order[displayRow])];
    const std::u16string_view file = ListColumns::field(target.filePath);
    if (file.empty()) {
        return false;  // a gap of a response list has no file
    }
    const path info(CodePage::utf16ToUtf8(file));
    const MessageInfoFile files(m_context);
    FILESTS_INFO stored = FILESTS_INFO::zeroed();
    if (files.ReadInfo(info, stored) != store::kDone) {
        return false;
    }
    stored.mark = markWithFlag(stored.mark, on);
    if (files.WriteInfo(info, stored) != store::kDone) {
        return false;
    }
    target.mark = markWithFlag(target.mark, on);
    return true;
}

int MessageList::GetSelectedMessage(const std::vector<int>& selectedRows,
                                    std::string& filePath) const {
    if (building()) {
        return kBuildRunning;
    }
    if (selectedRows.empty() || selectedRows.front() >= rowCount()) {
        return kNoneSelected;
    }
    filePath = CodePage::utf16ToUtf8(ListColumns::field(row(selectedRows.front()).filePath));
    return selectedRows.front();
}

OperationFlags MessageList::UpdateCommandState(const std::vector<int>& selectedRows) const {
    CommandState::Selection selection;
    selection.responseList = isResponseList();
    selection.anyNotDownloaded = m_anyNotDownloaded;
    selection.selectedPaths.reserve(selectedRows.size());
    for (int displayRow : selectedRows) {
        if (displayRow < 0 || displayRow >= rowCount()) {
            continue;
        }
        const std::u16string_view file = ListColumns::field(row(displayRow).filePath);
        selection.selectedPaths.push_back(CodePage::utf16ToUtf8(file));
        selection.selectedResponseHoldsMessage =
            selection.selectedResponseHoldsMessage || (selection.responseList && !file.empty());
    }
    return CommandState::UpdateCommandState(selection);
}

}  // namespace orven
