#pragma once

#include "link/JobResult.h"

namespace orven {

// The local store answers in plain numbers; these name the ones the jobs act on.
//
// CFileMng::UnpackBundle: the number of messages stored (0 also when the bundle could not be
// opened), or one of these.
struct UnpackResult {
    static constexpr int kFailed = -1;    // a file could not be written, or the folder was
                                          // not reachable
    static constexpr int kDiskFull = -4;  // the PC ran short of space part way
};

// CFileMng::CheckExistingResponse: whether a response message is stored already. 1 (none) and
// 2 (an older copy) ask for the message.
struct ExistingResponse {
    static constexpr int kFailed = -1;   // the stored copies could not be looked at
    static constexpr int kUpToDate = 0;  // a copy of the same age or newer is stored
};

// What an unpacking means for the job; the messages stored before a failure stay stored.
constexpr JobResult jobResultOfUnpack(int unpacked) {
    if (unpacked == UnpackResult::kDiskFull) {
        return JobResult::DiskFull;
    }
    return unpacked < 0 ? JobResult::LocalFailure : JobResult::Done;
}

}  // namespace orven
