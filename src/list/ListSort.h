#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "list/ListColumns.h"
#include "store/FILESTS_INFO.h"

namespace orven {

enum class SortDirection { Ascending, Descending };

// The order of a box list: the default order and what the user's header clicks chose. Sorts
// are stable and compare the cells' texts without regard to case, so rows equal in the sort
// column keep the order they had.
class ListSort {
  public:
    // A click on the header of a shown column: the direction it sorts by. A column clicked
    // again reverses its direction; another column takes the direction used last (ascending
    // at first); BOX番号 as the first click after a reset descends, since the default order
    // already shows it ascending.
    SortDirection HeaderClick(ColumnRole role);
    // Forgets the user's sort (a build that does not keep it).
    void reset();

    // The user has sorted since the last reset; column() and direction() tell how.
    bool userSorted() const { return m_lastClicked.has_value(); }
    std::optional<ColumnRole> column() const { return m_lastClicked; }
    SortDirection direction() const { return m_direction; }

    // Sorts order (indices into rows) by the column's cell texts; ASCII and full-width Latin
    // letters compare without case.
    static void sortBy(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                       ColumnRole role, SortDirection direction, std::u16string_view dataFolder);
    // 日時 descending, then BOX番号 ascending: boxes in number order, newest first within a
    // box. A column the list does not show is passed over. between runs once the rows are
    // in order, when 日時 is shown.
    static void applyDefaultOrder(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                                  const std::vector<ListColumn>& shown,
                                  std::u16string_view dataFolder,
                                  const std::function<void()>& between = {});

  private:
    std::optional<ColumnRole> m_lastClicked;
    SortDirection m_direction = SortDirection::Ascending;
};

}  // namespace orven
