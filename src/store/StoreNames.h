#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"

namespace orven {

// Where the PC keeps messages and under which names: the folder tree of a store, message
// file names, dated download and backup folders and request list files.
class StoreNames {
  public:
    using path = std::filesystem::path;

    static constexpr std::string_view kAnswering = "rusuroku";
    static constexpr std::string_view kExtension = "naisen";
    static constexpr std::string_view kResponse = "outou";
    static constexpr std::string_view kBoxInfoFile = "inf.ini";
    static constexpr std::size_t kBoxNameLength = 33;       // with ".vminf" or ".vmdat"
    static constexpr std::size_t kResponseNameLength = 32;  // with ".vminf" or ".vmdat"

    // Response messages live in the kind folder "outou" of a store (no box folders below it);
    // their names are one shorter. True for that folder and for a file directly in it, also
    // for the main unit's "/outou"; a box folder named "outou" under "rusuroku" or "naisen",
    // and a store somewhere below a folder whose name merely contains the text, are not.
    static bool isResponsePath(const path& file);
    // A candidate message file: its name has the length of its kind.
    static bool isCandidateName(const path& file);

    static std::string stem(std::string_view fileName);
    // The information file of a message given by any of its files (".vmdat", ".aac", ".AAC").
    static path infoPath(const path& file);
    // The voice file of a message given by its information or main unit data file.
    static path voicePath(const path& file);

    // The box number of a file name: after an "A" prefix at position 17, up to the next "_";
    // empty when position 16 is not "_".
    static std::string boxNumber(std::string_view fileName);

    static std::string weekdayUpper(const LocalTime& time);  // "SUN" .. "SAT"
    static std::string weekdayName(const LocalTime& time);   // "Sun" .. "Sat"

    // The first dated download folder name that does not exist under base yet:
    // "DL_YYYYMMDDhhmm", then "DL_YYYYMMDDhhmm(1)", "(2)" ...
    static std::string nextDlFolderName(const path& base, const LocalTime& now);

    // The six backup folder names for a moment: two months back, one month back, this
    // month, this year, last year, and "BU_ALL".
    static std::array<std::string, 6> backupFolderNames(const LocalTime& now);

    // "YYYYMMDDhhmmssmmmm_WWW.datco" (voice wanted) or ".infco" in the folder.
    static path requestListPath(const path& folder, const LocalTime& now, bool voice);

    // The box folders of a store: every folder directly under "rusuroku", then under "naisen".
    static std::vector<path> boxFolders(const path& store);

    // A folder is a store when it has a subfolder containing "naisen" and one containing
    // "rusuroku" in its name.
    static bool isStore(const path& folder);

    // Moment of a message stem's first twelve digits as minutes-resolution text, for
    // comparing the age of two stored copies; empty when they are not twelve digits.
    static std::string stemMoment(std::string_view fileName);
};

}  // namespace orven
