#include "list/ListSort.h"

#include <algorithm>
#include <iterator>

namespace orven {
namespace {

char16_t folded(char16_t c) {
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c + (u'a' - u'A'));
    }
    if (c >= u'Ａ' && c <= u'Ｚ') {
        return static_cast<char16_t>(c + (u'ａ' - u'Ａ'));
    }
    return c;
}

bool shows(const std::vector<ListColumn>& shown, ColumnRole role) {
    return std::any_of(shown.begin(), shown.end(),
                       [role](const ListColumn& column) { return column.role == role; });
}

SortDirection reversed(SortDirection direction) {
    return direction == SortDirection::Ascending ? SortDirection::Descending
                                                 : SortDirection::Ascending;
}

}  // namespace

SortDirection ListSort::HeaderClick(ColumnRole role) {
    if (!m_lastClicked && role == ColumnRole::BoxNumber) {
        m_direction = SortDirection::Descending;
    } else if (m_lastClicked == role) {
        m_direction = reversed(m_direction);
    }
    m_lastClicked = role;
    return m_direction;
}

void ListSort::reset() {
    m_lastClicked.reset();
    m_direction = SortDirection::Ascending;
}

// The keys are copied, folded, side by side, so that comparisons read one small block of
// memory rather than 1010-byte rows all over the list.
void ListSort::sortBy(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                      ColumnRole role, SortDirection direction, std::u16string_view dataFolder) {
    struct Entry {
        std::size_t at;
        std::size_t length;
        int index;
    };
    std::u16string keys;
    std::vector<Entry> entries;
    entries.reserve(order.size());
    for (int index : order) {
        const std::u16string_view key =
            ListColumns::cellText(role, rows[static_cast<std::size_t>(index)], dataFolder);
        entries.push_back({keys.size(), key.size(), index});
        std::transform(key.begin(), key.end(), std::back_inserter(keys), folded);
    }
    const std::u16string_view all(keys);
    const bool ascending = direction == SortDirection::Ascending;
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int c = all.substr(a.at, a.length).compare(all.substr(b.at, b.length));
        return ascending ? c < 0 : c > 0;
    });
    std::transform(entries.begin(), entries.end(), order.begin(),
                   [](const Entry& entry) { return entry.index; });
}

void ListSort::applyDefaultOrder(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                                 const std::vector<ListColumn>& shown,
                                 std::u16string_view dataFolder,
                                 const std::function<void()>& between) {
    if (shows(shown, ColumnRole::Date)) {
        sortBy(order, rows, ColumnRole::Date, SortDirection::Descending, dataFolder);
        if (between) {
            between();
        }
    }
    if (shows(shown, ColumnRole::BoxNumber)) {
        sortBy(order, rows, ColumnRole::BoxNumber, SortDirection::Ascending, dataFolder);
    }
}

}  // namespace orven
