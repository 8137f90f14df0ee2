#include "list/ListColumns.h"

#include "list/ImportCode.h"
#include "resources/ListViewTexts.h"

namespace orven {
namespace {

using R = ColumnRole;
constexpr ColumnAlign kCentre = ColumnAlign::Centre;
constexpr ColumnAlign kLeft = ColumnAlign::Left;

constexpr std::array<ListColumn, ListColumns::kBoxColumns> kBoxCatalogue = {{
    {R::Flag, text::kListColumnFlag, 70, kCentre},
    {R::Import, text::kListColumnImport, 70, kCentre},
    {R::Played, text::kListColumnPlayed, 150, kCentre},
    {R::Protect, text::kListColumnProtect, 150, kCentre},
    {R::BoxNumber, text::kListColumnBoxNumber, 70, kCentre},
    {R::CallerNumber, text::kListColumnCallerNumber, 60, kLeft},
    {R::CallerName, text::kListColumnCallerName, 60, kLeft},
    {R::Date, text::kListColumnDate, 60, kCentre},
    {R::Length, text::kListColumnLength, 60, kCentre},
    {R::FileName, text::kListColumnFileName, 60, kLeft},
    {R::BoxName, text::kListColumnBoxName, 60, kLeft},
    {R::Title, text::kListColumnTitle, 60, kLeft},
    {R::Memo, text::kListColumnMemo, 60, kLeft},
}};

constexpr int kResponseWidth = 70;
constexpr std::array<ListColumn, ListColumns::kResponseColumns> kResponseCatalogue = {{
    {R::MessageNumber, text::kListColumnMessageNumber, kResponseWidth, kCentre},
    {R::Flag, text::kListColumnFlag, kResponseWidth, kCentre},
    {R::Upload, text::kListColumnUpload, kResponseWidth, kCentre},
    {R::Length, text::kListColumnLength, kResponseWidth, kCentre},
    {R::ResponseName, text::kListColumnResponseName, kResponseWidth, kLeft},
    {R::FileName, text::kListColumnFileName, kResponseWidth, kLeft},
}};

}  // namespace

const std::array<ListColumn, ListColumns::kBoxColumns>& ListColumns::boxCatalogue() {
    return kBoxCatalogue;
}

const std::array<ListColumn, ListColumns::kResponseColumns>& ListColumns::responseColumns() {
    return kResponseCatalogue;
}

std::vector<ListColumn> ListColumns::fromColumnSet(
    const std::array<FixedText<7>, CORVENDoc::kColumns>& columnSet) {
    std::vector<ListColumn> columns;
    for (const FixedText<7>& name : columnSet) {
        if (name.empty()) {
            break;
        }
        for (const ListColumn& column : kBoxCatalogue) {
            if (column.name == name.utf16()) {
                columns.push_back(column);
            }
        }
    }
    return columns;
}

std::optional<ColumnRole> ListColumns::roleOf(std::u16string_view header) {
    for (const ListColumn& column : kBoxCatalogue) {
        if (header.find(column.name) != std::u16string_view::npos) {
            return column.role;
        }
    }
    for (const ListColumn& column : kResponseCatalogue) {
        if (header.find(column.name) != std::u16string_view::npos) {
            return column.role;
        }
    }
    return std::nullopt;
}

bool ListColumns::isCheckColumn(std::u16string_view header) {
    return header.find(text::kListColumnFlag) != std::u16string_view::npos ||
           header.find(text::kListColumnSelect) != std::u16string_view::npos;
}

std::u16string_view ListColumns::fieldOf(const char16_t* text, std::size_t size) {
    std::size_t length = 0;
    while (length < size && text[length] != u'\0') {
        ++length;
    }
    return {text, length};
}

std::u16string_view ListColumns::shownFileName(const FILESTS_INFO& row,
                                               std::u16string_view dataFolder) {
    std::u16string_view path = field(row.filePath);
    if (!dataFolder.empty() && path.starts_with(dataFolder)) {
        path.remove_prefix(dataFolder.size());
    }
    const std::size_t first = path.find_first_not_of(u' ');
    return first == std::u16string_view::npos ? std::u16string_view() : path.substr(first);
}

std::u16string_view ListColumns::cellText(ColumnRole role, const FILESTS_INFO& row,
                                          std::u16string_view dataFolder) {
    switch (role) {
        case R::Flag:
            return (row.mark & 1) != 0 ? text::kListCellFlagOn : text::kListCellFlagOff;
        case R::Import:
            return ImportCode::cellText(row.downloadState);
        case R::Played:
            return row.played != 0 ? text::kListCellPlayed : text::kListCellNotPlayed;
        case R::Protect:
            return row.protect != 0 ? text::kListCellProtected : text::kListCellUnprotected;
        case R::BoxNumber:
        case R::MessageNumber:
            return field(row.boxNumber);
        case R::CallerNumber:
            return field(row.callerNumber);
        case R::CallerName:
        case R::ResponseName:
            return field(row.callerName);
        case R::Date:
            return field(row.recordingDate);
        case R::Length:
            return field(row.recordingLength);
        case R::FileName:
            return shownFileName(row, dataFolder);
        case R::BoxName:
            return field(row.boxName);
        case R::Title:
            return field(row.title);
        case R::Memo:
            return field(row.memo);
        case R::Upload:
            return row.played != 0 ? text::kListCellUploaded : std::u16string_view();
    }
    return {};
}

}  // namespace orven
