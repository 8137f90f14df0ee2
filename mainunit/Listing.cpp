#include "mainunit/Listing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/CodePage.h"
#include "platform/FileOps.h"

namespace fs = std::filesystem;

namespace orven::mainunit {
namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::uint64_t kLargestShownSize = 999999999;  // nine columns

int digits(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

bool recordingTime(std::string_view name, LocalTime& time) {
    if (name.size() < 12) {
        return false;
    }
    LocalTime given;
    given.year = digits(name.substr(0, 4));
    given.month = digits(name.substr(4, 2));
    given.day = digits(name.substr(6, 2));
    given.hour = digits(name.substr(8, 2));
    given.minute = digits(name.substr(10, 2));
    if (given.year < 0 || !given.isValid()) {
        return false;
    }
    time = LocalTime::make(given.year, given.month, given.day, given.hour, given.minute);
    return true;
}

}  // namespace

std::vector<Listing::Entry> Listing::scan(const fs::path& folder, std::string_view pattern) {
    std::vector<Entry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        const fs::file_status status = it->symlink_status(typeEc);
        if (name.starts_with('.') || fs::is_symlink(status) ||
            !FileOps::matchesPattern(name, pattern)) {
            continue;
        }
        Entry entry;
        entry.name = name;
        entry.directory = fs::is_directory(status);
        entry.size = entry.directory ? 4096 : it->file_size(typeEc);
        entry.date = dateOf(name, it->last_write_time(typeEc));
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

LocalTime Listing::dateOf(std::string_view name, fs::file_time_type modified) {
    LocalTime time;
    if (recordingTime(name, time)) {
        return time;
    }
    const auto system = std::chrono::file_clock::to_sys(modified);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(system);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return LocalTime::fromTm(tm);
}

std::string Listing::nameLine(const Entry& entry) {
    return CodePage::utf8ToCp932(entry.name) + "\r\n";
}

// The client reads a long line at fixed columns after it has dropped every '.', '*' and LF:
// characters 25 to 33 (from 1) are the size, the last 45 characters (once the dot is put back
// before "vmdat" or "vminf") are "Mon DD YYYY " and the 33-character name. So everything up to
// column 33 is made of letters, digits, '-' and blanks, and the name comes last.
//
//   columns  1-10  type and permissions      "-rw-r--r--" or "drwxr-xr-x"
//           11-14  link count, right-aligned "   1"
//           15     blank
//           16-19  owner                     "main"
//           20     blank
//           21-24  group                     "unit"
//           25-33  size in bytes, right-aligned in nine (999999999 at most)
//           34     blank
//           35-45  "Mon DD YYYY", month "Jan" to "Dec", day with a leading zero
//           46     blank
//           47-    name
//
// Example, a 1234567-byte message:
//   "-rw-r--r--   1 main unit  1234567 Jan 05 2024 202401050930_FRI_0101_00001.vmdat"
// With the dot dropped, columns 25 to 33 still read "  1234567"; with it put back the last
// 45 characters are "Jan 05 2024 202401050930_FRI_0101_00001.vmdat".
std::string Listing::longLine(const Entry& entry) {
    char head[128];
    const LocalTime& d = entry.date;
    const unsigned long long size = std::min(entry.size, kLargestShownSize);
    const int month = std::clamp(d.month, 1, 12);
    std::snprintf(head, sizeof head, "%s%4d %-4s %-4s%9llu %s %02d %04d ",
                  entry.directory ? "drwxr-xr-x" : "-rw-r--r--", entry.directory ? 2 : 1, "main",
                  "unit", size, kMonths[month - 1], d.day % 100, d.year % 10000);
    return head + CodePage::utf8ToCp932(entry.name) + "\r\n";
}

// A lone "\n" first makes an odd gap even; the client drops every LF and skips empty lines.
std::string Listing::padLastLineTo(const std::string& listing, std::size_t at) {
    const std::size_t newline =
        listing.size() < 2 ? std::string::npos : listing.rfind('\n', listing.size() - 2);
    const std::size_t lastLine = newline == std::string::npos ? 0 : newline + 1;
    if (listing.empty() || lastLine >= at) {
        return listing;
    }
    const std::size_t gap = at - lastLine;
    std::string padded;
    padded.reserve(gap + listing.size());
    padded.append(gap % 2, '\n');
    for (std::size_t i = 0; i < gap / 2; ++i) {
        padded += "\r\n";
    }
    padded += listing;
    return padded;
}

}  // namespace orven::mainunit
