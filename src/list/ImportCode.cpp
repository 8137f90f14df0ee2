#include "list/ImportCode.h"

#include "resources/ListViewTexts.h"

namespace orven {
namespace {

bool isCode(int code) {
    return code >= 0 && code < ImportCode::kCodes;
}

}  // namespace

int ImportCode::codeOf(std::uint8_t downloadState) {
    switch (downloadState) {
        case 2:
            return 0;
        case 1:
            return 1;
        case 0:
            return 2;
        default:
            return 3;
    }
}

std::u16string_view ImportCode::cellText(std::uint8_t downloadState) {
    return text::kListImportCells[codeOf(downloadState)];
}

int ImportCode::parse(std::u16string_view cell) {
    std::size_t at = cell.find_first_not_of(u' ');
    int value = 0;
    for (; at < cell.size() && cell[at] >= u'0' && cell[at] <= u'9' && value < 1000; ++at) {
        value = value * 10 + (cell[at] - u'0');
    }
    return value;
}

std::string_view ImportCode::tooltip(int code) {
    return isCode(code) ? text::kListImportTooltips[code] : std::string_view();
}

std::string_view ImportCode::shortText(int code) {
    return isCode(code) ? text::kListImportShortTexts[code] : std::string_view();
}

}  // namespace orven
