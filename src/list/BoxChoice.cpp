#include "list/BoxChoice.h"

#include <algorithm>
#include <filesystem>

#include "resources/ListTexts.h"
#include "resources/Texts.h"
#include "store/StoreNames.h"

namespace orven {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void sortByName(std::vector<BoxChoice::Row>& rows) {
    std::sort(rows.begin(), rows.end(),
              [](const BoxChoice::Row& a, const BoxChoice::Row& b) { return a.name < b.name; });
}

std::vector<std::string> chosenNames(const std::vector<BoxChoice::Row>& rows) {
    std::vector<std::string> names;
    for (const BoxChoice::Row& row : rows) {
        if (row.check == BoxChoice::Check::On) {
            names.push_back(row.name);
        }
    }
    return names;
}

}  // namespace

BoxChoice::BoxChoice(CommandContext& context, int openWindows)
    : m_context(context), m_openWindows(std::max(openWindows, 0)) {}

BoxChoice::Load BoxChoice::load() {
    m_answering.clear();
    m_extension.clear();
    if (!m_context.folderUsable()) {
        return m_load = Load::FolderUnusable;
    }
    const BoxListText shown = shownBoxes();
    for (const std::filesystem::path& box : StoreNames::boxFolders(m_context.storeFolder())) {
        const std::string name = box.filename().string();
        const bool answering = box.parent_path().filename() == StoreNames::kAnswering;
        const bool isShown = contains(answering ? shown.answering : shown.extension, name);
        (answering ? m_answering : m_extension)
            .push_back({name, isShown ? Check::Shown : Check::Off});
    }
    sortByName(m_answering);
    sortByName(m_extension);
    const bool none = m_answering.empty() && m_extension.empty();
    return m_load = none ? Load::NoBoxFolders : Load::Ready;
}

bool BoxChoice::offerChoice() {
    if (m_load == Load::NoBoxFolders) {
        m_context.tell(text::kNoBoxFolders, text::kErrorTitle);
    }
    return m_load == Load::Ready;
}

std::string BoxChoice::downloadFolder() const {
    return m_context.doc.storeFolder();
}

const std::vector<BoxChoice::Row>& BoxChoice::rows(List list) const {
    return list == List::Answering ? m_answering : m_extension;
}

std::vector<BoxChoice::Row>& BoxChoice::rowsOf(List list) {
    return list == List::Answering ? m_answering : m_extension;
}

bool BoxChoice::responsesAllowed() const {
    const int open = std::min(m_openWindows, CORVENDoc::kListWindows);
    for (int slot = 0; slot < open; ++slot) {
        if (BoxListText::isResponseList(m_context.doc.windowBoxLists[slot].str())) {
            return false;
        }
    }
    return true;
}

void BoxChoice::toggle(List list, int row) {
    std::vector<Row>& rows = rowsOf(list);
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        return;
    }
    Check& check = rows[row].check;
    if (check != Check::Shown) {
        check = check == Check::On ? Check::Off : Check::On;
    }
}

void BoxChoice::setAll(List list, bool on) {
    for (Row& row : rowsOf(list)) {
        if (row.check != Check::Shown) {
            row.check = on ? Check::On : Check::Off;
        }
    }
}

BoxChoice::Outcome BoxChoice::open(bool responses) {
    if (m_openWindows >= CORVENDoc::kListWindows) {
        m_context.tell(text::kListWindowLimit, text::kErrorTitle);
        return Outcome::WindowLimit;
    }
    if (!m_context.folderUsable()) {
        return Outcome::FolderUnusable;
    }
    CORVENDoc& doc = m_context.doc;
    doc.windowBoxLists[m_openWindows].clear();
    BoxListText list = chosenBoxes();
    list.responses = responses;
    const std::string text = list.build();
    if (text.empty()) {
        m_context.tell(text::kNoBoxChosen, text::kErrorTitle);
        return Outcome::NothingChosen;
    }
    doc.windowBoxLists[m_openWindows] = text;
    doc.windowFolderNames[m_openWindows] = doc.currentFolderName;
    doc.windowCount = m_openWindows + 1;
    return Outcome::Opened;
}

// The boxes the open windows of the current download folder show.
BoxListText BoxChoice::shownBoxes() const {
    const CORVENDoc& doc = m_context.doc;
    BoxListText shown;
    const int open = std::min(m_openWindows, CORVENDoc::kListWindows);
    for (int slot = 0; slot < open; ++slot) {
        if (!(doc.windowFolderNames[slot] == doc.currentFolderName)) {
            continue;
        }
        const BoxListText list = BoxListText::parse(doc.windowBoxLists[slot].str());
        shown.answering.insert(shown.answering.end(), list.answering.begin(), list.answering.end());
        shown.extension.insert(shown.extension.end(), list.extension.begin(), list.extension.end());
    }
    return shown;
}

BoxListText BoxChoice::chosenBoxes() const {
    return {chosenNames(m_answering), chosenNames(m_extension), false};
}

}  // namespace orven
