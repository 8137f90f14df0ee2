#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalTime.h"

namespace orven::mainunit {

// The entries of a folder and the lines of "NLST", "NLST -l" and "LIST" that show them.
class Listing {
  public:
    struct Entry {
        std::string name;  // UTF-8, as on disk
        bool directory = false;
        std::uint64_t size = 0;
        LocalTime date;
    };

    // Files and folders matching the pattern ('*' and '?', ASCII case ignored), sorted by
    // name. Hidden names (the server's temporary files) and symbolic links are left out.
    static std::vector<Entry> scan(const std::filesystem::path& folder, std::string_view pattern);

    // The date a listing shows: a message's recording time from its name, else the file's
    // modification time.
    static LocalTime dateOf(std::string_view name, std::filesystem::file_time_type modified);

    // One line each, CR LF ended, names in CP932.
    static std::string nameLine(const Entry& entry);
    static std::string longLine(const Entry& entry);

    // The listing with blank lines before it, which the client's line rules skip, so that its
    // last line starts at byte `at`; unchanged when its lines before the last already reach
    // past that, or when it is empty.
    static std::string padLastLineTo(const std::string& listing, std::size_t at);
};

}  // namespace orven::mainunit
