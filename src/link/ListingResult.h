#pragma once

#include <iosfwd>

namespace orven {

// What a listing came to (ListNames, ListLong, GetBoxList). ListLong and GetBoxList also
// carry the code of a CWD or NLST that the main unit refused otherwise, as it came: make one
// with listingResultOf and read it with codeOf.
enum class ListingResult : int {
    NoSuchDirectory = -2,  // CWD answered "550": the box is not on the main unit
    Failed = -1,           // no session or no reply, or the listing did not come whole (cut,
                           // too large, cancelled)
    CommandFailed = 0,     // ListNames: the CWD or the NLST was refused otherwise
    Listed = 1,            // the whole listing came; empty when NLST found no files ("550")
};

constexpr ListingResult listingResultOf(int code) {
    return ListingResult{code};
}
constexpr int codeOf(ListingResult result) {
    return static_cast<int>(result);
}

// What looking up one file's size in a listing came to (GetRemoteFileSize).
enum class FileSizeResult : int {
    NoSuchDirectory = -2,  // CWD answered "550"
    Failed = -1,           // the listing failed
    NotListed = 0,         // the listing does not show the file
    Found = 1,             // the size is set
};

// CountRemoteFiles gives the number of entries of the directory, or one of these.
struct RemoteCount {
    static constexpr int kNoSuchDirectory = -2;  // CWD answered "550"
    static constexpr int kFailed = -1;           // the listing failed
};

std::ostream& operator<<(std::ostream& out, ListingResult result);
std::ostream& operator<<(std::ostream& out, FileSizeResult result);

}  // namespace orven
