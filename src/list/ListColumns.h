#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "app/CORVENDoc.h"
#include "store/FILESTS_INFO.h"

namespace orven {

// What a column of a message list shows; the header text names it.
enum class ColumnRole {
    Flag,
    Import,
    Played,
    Protect,
    BoxNumber,
    CallerNumber,
    CallerName,
    Date,
    Length,
    FileName,
    BoxName,
    Title,
    Memo,
    MessageNumber,  // response lists
    Upload,         // response lists
    ResponseName,   // response lists: the caller name field
};

enum class ColumnAlign { Left, Centre };

struct ListColumn {
    ColumnRole role;
    std::u16string_view name;
    int width;  // initial width in pixels
    ColumnAlign align;
};

// The column catalogue of the message lists and the text of every cell. Cell texts are views
// into the row or into constant texts, so showing or sorting 50 000 rows allocates nothing.
class ListColumns {
  public:
    static constexpr std::size_t kBoxColumns = 13;
    static constexpr std::size_t kResponseColumns = 6;

    static const std::array<ListColumn, kBoxColumns>& boxCatalogue();
    static const std::array<ListColumn, kResponseColumns>& responseColumns();

    // The box list columns of a column set, in its order, up to the first empty name; names
    // that are not in the catalogue are passed over.
    static std::vector<ListColumn> fromColumnSet(
        const std::array<FixedText<7>, CORVENDoc::kColumns>& columnSet);

    // The role of a header: the first catalogue name (box, then response columns) that the
    // header text contains.
    static std::optional<ColumnRole> roleOf(std::u16string_view header);

    // A check box cell: ﾌﾗｸﾞ, and any column named "選択".
    static bool isCheckColumn(std::u16string_view header);

    // The cell of a row. dataFolder (ending in "/") is cut from the front of file names.
    static std::u16string_view cellText(ColumnRole role, const FILESTS_INFO& row,
                                        std::u16string_view dataFolder);
    // The file path shown in ファイル名: without the data folder, leading blanks trimmed.
    static std::u16string_view shownFileName(const FILESTS_INFO& row,
                                             std::u16string_view dataFolder);
    // The text of a record field, up to its first NUL.
    template <std::size_t N>
    static std::u16string_view field(const char16_t (&text)[N]) {
        return fieldOf(text, N);
    }

  private:
    static std::u16string_view fieldOf(const char16_t* text, std::size_t size);
};

}  // namespace orven
