#include "app/NameLineText.h"

#include "app/CORVENDoc.h"

namespace orven {
namespace {

constexpr std::string_view kFullColon = "：";
constexpr std::string_view kExtensionBoxes = "内線BOX：";

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string NameLineText::boxLine(const std::string& boxList) {
    if (boxList.empty()) {
        return {};
    }
    std::string line = " " + boxList;
    replaceAll(line, ":", kFullColon);
    replaceAll(line, "?", ",");
    // The extension boxes follow the last answering-machine box as ",  内線BOX："; that ","
    // gives way to the line break.
    const auto at = line.find(kExtensionBoxes);
    if (at != std::string::npos && at > 1) {
        line.insert(at, "\r\n ");
        if (at >= 3 && line[at - 3] == ',') {
            line.erase(at - 3, 1);
        }
    }
    return line;
}

std::string NameLineText::folderLine(const std::string& dataFolder, const std::string& folderName,
                                     bool trimSlash) {
    if (folderName.empty()) {
        return {};
    }
    std::string line = " " + CORVENDoc::withTrailingSlash(dataFolder) + folderName;
    if (trimSlash && line.size() > 1 && line.back() == '/') {
        line.pop_back();
    }
    replaceAll(line, ":", kFullColon);
    return line;
}

std::string NameLineText::folderNameOf(const std::string& line) {
    std::string text = line;
    replaceAll(text, kFullColon, ":");
    text.erase(0, text.find_first_not_of(' '));
    const auto slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace orven
