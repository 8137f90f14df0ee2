#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandTable.h"
#include "list/CountsLine.h"
#include "list/ListColumns.h"
#include "list/ListSort.h"
#include "store/FILESTS_INFO.h"
#include "store/MessageFolder.h"
#include "store/StoreContext.h"

namespace orven {

// What a list window shows of its rows.
enum class DisplayMode { All = 0, Selective = 1, NotDownloaded = 2 };

// What a build or a refresh came to.
enum class BuildResult {
    Built,        // the list shows what the store holds, up to the row cap
    Busy,         // another build or refresh is running; nothing was done
    Failed,       // the store or a box folder could not be read; the rows read before are shown
    OutOfMemory,  // the rows could not be held; the list is empty
};

// The rows of one list window: the message records of its boxes (or its system response
// messages) read from the store, the order they are shown in, the counters of the counts
// line and the user's flags. The rows take as much memory as the messages found, at most
// kMaxRows records; a row is never written back to the store except by SetFlag.
class MessageList {
  public:
    using path = std::filesystem::path;
    static constexpr std::size_t kMaxRows = MessageFolder::kMaxRecords;
    static constexpr int kResponseRows = 300;
    // Results of GetSelectedMessage.
    static constexpr int kNoneSelected = -1;
    static constexpr int kBuildRunning = -2;

    // Where the rows come from.
    struct Source {
        std::string dataFolder;  // the data folder, with or without its trailing "/"
        std::string folderName;  // the window's download folder under it
        std::string boxList;     // the window's box list text
    };
    // Told before and after the rows or their order are replaced by a build or a display
    // change. Not told around SortByHeader, which only moves rows, nor around SetFlag.
    struct Observer {
        std::function<void()> aboutToChange;
        std::function<void()> changed;
    };
    using Filter = std::function<bool(const FILESTS_INFO&)>;

    // The context's Ui keeps the window alive while a build reads; its folder access check
    // runs before every file.
    explicit MessageList(StoreContext context);

    void setSource(Source source);
    // The columns of box lists, in display order; a response list has its fixed columns.
    void setBoxColumns(std::vector<ListColumn> columns);
    void setObserver(Observer observer) { m_observer = std::move(observer); }

    // The source's box list text names the system response messages.
    bool isResponseList() const { return m_response; }
    const std::vector<ListColumn>& columns() const;
    // The store the window shows: data folder joined with the folder name.
    path storeFolder() const;

    // keepMode off: the display returns to all rows and the user's sort is dropped.
    BuildResult BuildBoxList(bool keepMode);
    // Always kResponseRows rows, number n in row n-1; numbers without a message are gaps.
    BuildResult BuildResponseList(bool keepMode);
    // Only the rows whose voice data is not in the store, in the order they were read.
    void ShowNotDownloaded();
    // Only the rows that match, in the order shown (the search's selective display).
    void ShowSelected(Filter matches);

    // Reads the store again and shows it in the same display mode. keepUserSort keeps the
    // user's header sort. selectedRows are rows shown before; reselected receives the rows
    // that show the same messages now (found by file path), in display order.
    BuildResult RefreshList(bool keepUserSort, const std::vector<int>& selectedRows,
                            std::vector<int>& reselected);
    // The same for a response list; reselect keeps a single selected row by its number.
    BuildResult RefreshResponseList(bool reselect, const std::vector<int>& selectedRows,
                                    std::vector<int>& reselected);

    // Rows in display order.
    int rowCount() const { return static_cast<int>(m_order.size()); }
    const FILESTS_INFO& row(int displayRow) const;
    std::u16string_view cellText(int displayRow, std::size_t column) const;
    // Row buffer index of each display row.
    const std::vector<int>& order() const { return m_order; }

    // A click on the header of a column: sorts and returns the direction, or nothing when
    // the list is not sorted by header (response lists, a build running).
    std::optional<SortDirection> SortByHeader(std::size_t column);
    bool sortsByHeader() const { return !isResponseList() && !building(); }
    const ListSort& sortState() const { return m_sort; }

    // Sets or clears the row's flag (bit 0 of its mark) and writes it into the message's
    // information file at once; clearing keeps only bit 7, as stored marks always have.
    // False when the file could not be read or written; the row is then unchanged.
    bool SetFlag(int displayRow, bool on);
    static std::uint8_t markWithFlag(std::uint8_t mark, bool on);

    // The first selected row (selectedRows in display order): its file path, and its display
    // row as the result; kNoneSelected, or kBuildRunning while a build or refresh runs.
    int GetSelectedMessage(const std::vector<int>& selectedRows, std::string& filePath) const;
    // The commands the selection allows.
    OperationFlags UpdateCommandState(const std::vector<int>& selectedRows) const;

    // The counters of the counts line; the folder total is the caller's.
    CountsLine::Counts counts() const { return m_counts; }
    // Some row shown has no voice data in the store.
    bool anyNotDownloaded() const { return m_anyNotDownloaded; }
    DisplayMode displayMode() const { return m_mode; }
    bool building() const { return m_building || m_refreshing; }
    // A build has run (the first one shows a progress dialog).
    bool built() const { return m_built; }
    // The data folder as file names start with it, for cutting it off.
    std::u16string_view dataFolderPrefix() const { return m_dataPrefix; }

  private:
    class Running;

    BuildResult build(bool keepMode, const std::function<BuildResult(std::vector<int>&)>& read);
    BuildResult readBoxes(std::vector<int>& order);
    BuildResult scanBoxes(std::vector<MessageFolder::Listing>& listings, std::size_t expected);
    bool appendFolder(MessageFolder& folder, const MessageFolder::Listing& box, std::size_t limit);
    BuildResult readResponses(std::vector<int>& order);
    std::vector<path> boxFolders() const;
    StoreContext pumping() const;
    bool storeReadable() const;
    void orderAsSorted(std::vector<int>& order) const;
    void replaceRows(std::vector<FILESTS_INFO> rows, std::vector<int> order);
    void replaceOrder(std::vector<int> order);
    void clearRows();
    void countRows();
    void keepOnly(const Filter& matches, bool inShownOrder);
    void reapplyDisplay();
    std::vector<int> rowsShowing(const std::vector<std::u16string>& paths) const;

    StoreContext m_context;
    Source m_source;
    std::u16string m_dataPrefix;
    bool m_response = false;
    std::vector<ListColumn> m_boxColumns;
    Observer m_observer;

    std::vector<FILESTS_INFO> m_rows;
    std::vector<int> m_order;
    ListSort m_sort;
    bool m_keepUserSort = false;
    DisplayMode m_mode = DisplayMode::All;
    Filter m_selective;

    CountsLine::Counts m_counts;
    bool m_anyNotDownloaded = false;
    bool m_building = false;
    bool m_refreshing = false;
    bool m_built = false;
};

}  // namespace orven
