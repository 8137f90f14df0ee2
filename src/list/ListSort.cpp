#include "list/ListSort.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <span>

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

namespace {

struct SortKey {
    ColumnRole role;
    SortDirection direction;
};

// The keys are copied, folded, side by side, so that comparisons read one small block of
// memory rather than 1010-byte rows all over the list. Rows are compared by the first key,
// equal ones by the next; one stable sort by both keys orders as a sort by the second key
// after a sort by the first would.
void sortByKeys(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                std::span<const SortKey> sortKeys, std::u16string_view dataFolder) {
    struct Span {
        std::size_t at;
        std::size_t length;
    };
    const std::size_t levels = sortKeys.size();
    std::u16string keys;
    std::vector<Span> spans;  // levels spans per entry
    spans.reserve(order.size() * levels);
    for (int index : order) {
        for (const SortKey& sortKey : sortKeys) {
            const std::u16string_view key = ListColumns::cellText(
                sortKey.role, rows[static_cast<std::size_t>(index)], dataFolder);
            spans.push_back({keys.size(), key.size()});
            std::transform(key.begin(), key.end(), std::back_inserter(keys), folded);
        }
    }
    const std::u16string_view all(keys);
    std::vector<int> entries(order.size());
    std::iota(entries.begin(), entries.end(), 0);
    std::stable_sort(entries.begin(), entries.end(), [&](int a, int b) {
        for (std::size_t level = 0; level < levels; ++level) {
            const Span& x = spans[static_cast<std::size_t>(a) * levels + level];
            const Span& y = spans[static_cast<std::size_t>(b) * levels + level];
            const int c = all.substr(x.at, x.length).compare(all.substr(y.at, y.length));
            if (c != 0) {
                return sortKeys[level].direction == SortDirection::Ascending ? c < 0 : c > 0;
            }
        }
        return false;
    });
    std::vector<int> sorted(order.size());
    std::transform(entries.begin(), entries.end(), sorted.begin(),
                   [&](int entry) { return order[static_cast<std::size_t>(entry)]; });
    order = std::move(sorted);
}

}  // namespace

void ListSort::sortBy(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                      ColumnRole role, SortDirection direction, std::u16string_view dataFolder) {
    const SortKey key{role, direction};
    sortByKeys(order, rows, std::span(&key, 1), dataFolder);
}

// BOX番号 first and 日時 within it: the same order as sorting by 日時 and then, stably, by
// BOX番号. between runs once the rows are in order by the first key shown (all of them here).
void ListSort::applyDefaultOrder(std::vector<int>& order, const std::vector<FILESTS_INFO>& rows,
                                 const std::vector<ListColumn>& shown,
                                 std::u16string_view dataFolder,
                                 const std::function<void()>& between) {
    std::vector<SortKey> keys;
    if (shows(shown, ColumnRole::BoxNumber)) {
        keys.push_back({ColumnRole::BoxNumber, SortDirection::Ascending});
    }
    if (shows(shown, ColumnRole::Date)) {
        keys.push_back({ColumnRole::Date, SortDirection::Descending});
    }
    if (!keys.empty()) {
        sortByKeys(order, rows, keys, dataFolder);
    }
    if (between && shows(shown, ColumnRole::Date)) {
        between();
    }
}

}  // namespace orven
