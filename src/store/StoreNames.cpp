#include "store/StoreNames.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>

namespace orven {
namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// Changes the extension of the file name only: a folder that happens to carry such a text
// in its name must not be renamed with it.
std::filesystem::path withExtension(const std::filesystem::path& file,
                                    std::initializer_list<std::string_view> from,
                                    std::string_view to) {
    const std::string name = file.filename().string();
    for (std::string_view ext : from) {
        if (name.size() >= ext.size() &&
            name.compare(name.size() - ext.size(), ext.size(), ext) == 0) {
            return file.parent_path() /
                   (name.substr(0, name.size() - ext.size()) + std::string(to));
        }
    }
    return file;
}

bool pathExists(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::exists(p, ec);
}

std::vector<std::filesystem::path> subfolders(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            found.push_back(it->path());
        }
    }
    return found;
}

}  // namespace

bool StoreNames::isResponsePath(const path& file) {
    // The last three names of the path, a trailing separator naming the folder before it.
    std::array<std::string, 3> last;
    for (const path& part : file) {
        if (!part.empty() && !part.has_root_path()) {
            std::shift_right(last.begin(), last.end(), 1);
            last[0] = part.string();
        }
    }
    // A box folder that happens to be called "outou" holds box messages.
    const auto isBoxKind = [](const std::string& name) {
        return name == kAnswering || name == kExtension;
    };
    return (last[0] == kResponse && !isBoxKind(last[1])) ||
           (last[1] == kResponse && !isBoxKind(last[2]));
}

bool StoreNames::isCandidateName(const path& file) {
    const std::size_t wanted = isResponsePath(file) ? kResponseNameLength : kBoxNameLength;
    return file.filename().string().size() == wanted;
}

std::string StoreNames::stem(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

StoreNames::path StoreNames::infoPath(const path& file) {
    return withExtension(file, {".vmdat", ".aac", ".AAC"}, ".vminf");
}

StoreNames::path StoreNames::voicePath(const path& file) {
    return withExtension(file, {".vminf", ".vmdat"}, ".aac");
}

std::string StoreNames::boxNumber(std::string_view fileName) {
    if (fileName.size() < 18 || fileName[16] != '_') {
        return {};
    }
    const std::size_t start = fileName[17] == 'A' ? 18 : 17;
    const std::size_t end = fileName.find('_', start);
    return std::string(fileName.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string StoreNames::weekdayName(const LocalTime& time) {
    const LocalTime t = LocalTime::make(time.year, time.month, time.day);
    return kWeekdays[t.dayOfWeek];
}

std::string StoreNames::weekdayUpper(const LocalTime& time) {
    std::string name = weekdayName(time);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string StoreNames::nextDlFolderName(const path& base, const LocalTime& now) {
    char name[64];
    std::snprintf(name, sizeof name, "DL_%04d%02d%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute);
    if (!pathExists(base / name)) {
        return name;
    }
    for (unsigned counter = 1;; ++counter) {
        const std::string candidate = std::string(name) + "(" + std::to_string(counter) + ")";
        if (!pathExists(base / candidate)) {
            return candidate;
        }
    }
}

std::array<std::string, 6> StoreNames::backupFolderNames(const LocalTime& now) {
    auto month = [&](int back) {
        const int index = now.year * 12 + (now.month - 1) - back;
        char name[32];
        std::snprintf(name, sizeof name, "BU_%04d%02d", index / 12, index % 12 + 1);
        return std::string(name);
    };
    auto year = [](int y) {
        char name[32];
        std::snprintf(name, sizeof name, "BU_%04d", y);
        return std::string(name);
    };
    return {month(2), month(1), month(0), year(now.year), year(now.year - 1), "BU_ALL"};
}

StoreNames::path StoreNames::requestListPath(const path& folder, const LocalTime& now, bool voice) {
    char name[96];
    std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d%04d_%s.%s", now.year, now.month,
                  now.day, now.hour, now.minute, now.second, now.milliseconds,
                  weekdayUpper(now).c_str(), voice ? "datco" : "infco");
    return folder / name;
}

std::vector<StoreNames::path> StoreNames::boxFolders(const path& store) {
    std::vector<path> boxes = subfolders(store / kAnswering);
    std::vector<path> extension = subfolders(store / kExtension);
    boxes.insert(boxes.end(), extension.begin(), extension.end());
    return boxes;
}

bool StoreNames::isStore(const path& folder) {
    bool answering = false;
    bool extension = false;
    for (const path& sub : subfolders(folder)) {
        const std::string name = sub.filename().string();
        answering = answering || name.find(kAnswering) != std::string::npos;
        extension = extension || name.find(kExtension) != std::string::npos;
    }
    return answering && extension;
}

std::string StoreNames::stemMoment(std::string_view fileName) {
    if (fileName.size() < 12 || !std::all_of(fileName.begin(), fileName.begin() + 12,
                                             [](unsigned char c) { return std::isdigit(c); })) {
        return {};
    }
    return std::string(fileName.substr(0, 12));
}

}  // namespace orven
