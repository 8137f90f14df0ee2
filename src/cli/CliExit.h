#pragma once

#include <string_view>

namespace orven {

// The exit statuses of orven-cli, one per kind of outcome a script may want to tell apart.
enum class CliExit : int {
    kSuccess = 0,
    kUsage = 2,
    kCommunication = 3,
    kDiskFull = 4,
    kCancelled = 5,
    kLocalFailure = 6,
    kPartial = 7,
    kRefused = 8,
};

struct CliExitMeaning {
    CliExit status;
    std::string_view meaning;
};

// What --help says of each status; the README's table says the same.
inline constexpr CliExitMeaning kCliExitMeanings[] = {
    {CliExit::kSuccess, "done (also when some files were already gone from the main unit)"},
    {CliExit::kUsage, "the command line cannot be used"},
    {CliExit::kCommunication, "communication with the main unit failed"},
    {CliExit::kDiskFull, "not enough free disk space"},
    {CliExit::kCancelled, "cancelled by SIGINT, SIGTERM or SIGHUP"},
    {CliExit::kLocalFailure,
     "any other local failure (store not readable or writable, --log FILE not writable, not an "
     "AAC file)"},
    {CliExit::kPartial,
     "partial download: some chosen messages were not stored (not gone, disk not full)"},
    {CliExit::kRefused, "the main unit refused an upload (450: in use, no room, newer copy)"},
};

}  // namespace orven
