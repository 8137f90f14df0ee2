#pragma once

#include <iosfwd>

namespace orven {

// What a folder download came to.
enum class FolderDownloadResult : int {
    Unreachable = -1,  // the store could not be reached or written
    Done = 0,          // also after a cancel
    ListFailed = 1,    // the box lists could not be read
};

std::ostream& operator<<(std::ostream& out, FolderDownloadResult result);

}  // namespace orven
