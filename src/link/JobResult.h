#pragma once

#include <iosfwd>

namespace orven {

// What a box download, a backup of a box or a download of chosen messages came to. The
// download loops act on each value; the negative ones and 550, 555 are the numbers the
// loops and their users know them by.
enum class JobResult : int {
    LocalFailure = -6,          // the request list or a folder could not be made or reached,
                                // or the bundle could not be unpacked
    Stopped = -5,               // the always-on download was asked to stop once the bundle
                                // had come
    DiskFull = -4,              // not enough free space on the PC
    Cancelled = -3,             // the cancel flag, or a stop request before the bundle came
    NoSuchBox = -2,             // the main unit has no such box directory
    CommunicationFailure = -1,  // no session, the reconnections are used up, or the request
                                // list could not be read back
    Done = 0,                   // also when nothing was missing
    FilesGone = 550,            // the main unit answered the fetch of the bundle with "550"
    DeleteUnsupported = 555,    // the main unit does not delete after download
};

std::ostream& operator<<(std::ostream& out, JobResult result);

}  // namespace orven
