#include "list/BoxListText.h"

#include <algorithm>

#include "resources/ListTexts.h"

namespace orven {

namespace {

// Part of the stored form, not shown as such: what marks an extension group's label, and
// what stands between the two groups.
constexpr std::string_view kExtensionMark = "内線";
constexpr std::string_view kGroupGap = "  ";

struct Colon {
    std::size_t at = std::string_view::npos;
    std::size_t size = 0;
};

// The first colon, half- or full-width, at or after `from`.
Colon nextColon(std::string_view text, std::size_t from) {
    Colon first;
    for (const std::string_view colon : {std::string_view(":"), std::string_view("：")}) {
        const std::size_t at = text.find(colon, from);
        if (at < first.at) {
            first = {at, colon.size()};
        }
    }
    return first;
}

// Where the label before the colon at `colonAt` begins: after the last "," or blank since
// `from`. A label holds neither, while the names before it may.
std::size_t labelStart(std::string_view text, std::size_t from, std::size_t colonAt) {
    const std::size_t last = text.substr(from, colonAt - from).find_last_of(", ");
    return last == std::string_view::npos ? from : from + last + 1;
}

void appendGroup(std::string& text, std::string_view label, const std::vector<std::string>& names) {
    if (names.empty()) {
        return;
    }
    text += label;
    for (std::string name : names) {
        std::replace(name.begin(), name.end(), ',', '?');
        text += name + ",";
    }
}

void appendNames(std::string_view names, std::vector<std::string>& out) {
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(',', start), names.size());
        std::string name(names.substr(start, end - start));
        if (!name.empty()) {
            std::replace(name.begin(), name.end(), '?', ',');
            out.push_back(std::move(name));
        }
        start = end + 1;
    }
}

}  // namespace

std::string BoxListText::build() const {
    if (responses) {
        return std::string(text::kResponseList);
    }
    std::string text;
    appendGroup(text, text::kAnsweringGroupLabel, answering);
    if (!text.empty() && !extension.empty()) {
        text += kGroupGap;
    }
    appendGroup(text, text::kExtensionGroupLabel, extension);
    if (!text.empty()) {
        text.pop_back();  // the "," after the last name
    }
    return text;
}

BoxListText BoxListText::parse(std::string_view text) {
    BoxListText list;
    if (isResponseList(text)) {
        list.responses = true;
        return list;
    }
    std::size_t label = 0;
    for (Colon colon = nextColon(text, 0); colon.at != std::string_view::npos;) {
        const bool extension =
            text.substr(label, colon.at - label).find(kExtensionMark) != std::string_view::npos;
        const std::size_t namesStart = colon.at + colon.size;
        const Colon next = nextColon(text, namesStart);
        std::size_t namesEnd = text.size();
        if (next.at != std::string_view::npos) {
            label = labelStart(text, namesStart, next.at);
            namesEnd = label;
            while (namesEnd > namesStart && text[namesEnd - 1] == ' ') {
                --namesEnd;  // the blanks before the next label part it from the names
            }
        }
        appendNames(text.substr(namesStart, namesEnd - namesStart),
                    extension ? list.extension : list.answering);
        colon = next;
    }
    return list;
}

bool BoxListText::isResponseList(std::string_view text) {
    return text == text::kResponseList;
}

}  // namespace orven
