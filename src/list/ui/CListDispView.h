#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "app/ui/ListWindowView.h"
#include "list/MessageList.h"

namespace orven::ui {

class CDataListCtrl;
class ListTableModel;
struct ListHost;

// The view of a list window: the messages of the boxes in the window's slot of the document
// (or its system response messages) as a table. It builds when first shown, keeps the main
// window's counts line and command permissions up to date, and keeps its selection, sort and
// scroll position across refreshes without writing anything into the store.
class CListDispView : public QWidget, public ListWindowView {
    Q_OBJECT

  public:
    // Horizontal and vertical room left free beside the table.
    static constexpr int kMargin = 5;

    // host must outlive the view; windowNumber (1 to 4) names the document slot it shows.
    CListDispView(ListHost& host, int windowNumber, QWidget* parent = nullptr);
    ~CListDispView() override;

    // ListWindowView. boxesFailedToOpen builds first when the view has not been shown yet.
    QString countsLineText() const override;
    bool boxesFailedToOpen() const override;
    void setWindowNumber(int windowNumber) override;
    OperationFlags operationFlags() const override { return m_flags; }
    void refresh() override;

    int windowNumber() const { return m_windowNumber; }

    // keepMode off: all rows are shown again and the user's sort is dropped. keepMainEnabled
    // off: the main window takes no input while the boxes are read.
    void BuildBoxList(bool keepMode, bool keepMainEnabled);
    void BuildResponseList(bool keepMode);
    void ShowNotDownloaded();
    // Reads the store again: the rows selected before stay selected (found by file path),
    // the first visible row and the horizontal position stay; nothing is written.
    void RefreshList(bool rebuildColumns, bool keepUserSort, bool keepSelection);
    void RefreshResponseList(bool reselect);
    // Hands the permissions of the selection to the main window.
    void UpdateCommandState();
    // The first selected message: its display row, or MessageList::kNoneSelected /
    // MessageList::kBuildRunning.
    int GetSelectedMessage(std::string& filePath) const;
    // Every column as wide as its widest text or its header.
    void AutoSizeColumns();

    // The rows selected now, in display order.
    std::vector<int> selectedRows() const;
    MessageList& list() { return m_list; }
    const MessageList& list() const { return m_list; }
    CDataListCtrl* control() const { return m_control; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void firstBuild();
    void loadSource(bool columns);
    BuildResult buildBoxes(bool keepMode, bool keepMainEnabled);
    BuildResult buildResponses(bool keepMode);
    void finishBuild(BuildResult result);
    void onHeaderClicked(int section);
    void select(const std::vector<int>& rows);
    void showSortState();
    void updateCounts();
    int widestCell(int column) const;
    bool disableMainWindow();
    void enableMainWindow(bool wasDisabled);

    ListHost& m_host;
    int m_windowNumber;
    MessageList m_list;
    ListTableModel* m_model;
    CDataListCtrl* m_control;
    OperationFlags m_flags;
    int m_folderTotal = 0;
    bool m_started = false;
    bool m_failed = false;
};

}  // namespace orven::ui
