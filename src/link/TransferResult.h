#pragma once

#include <iosfwd>

#include "link/ReplyCode.h"

namespace orven {

// What opening a data connection, a RETR, a STOR or a DELE came to. Besides the values named
// here, the code of a PORT, RETR, STOR or DELE that the main unit refused is carried as it
// came: make one with transferResultOf and read it with codeOf.
enum class TransferResult : int {
    Cancelled = -2,  // RETR: the cancel flag ended it; the partial file stays for the caller
    Failed = -1,     // no session or no reply, the data connection broke or never came, a
                     // local file could not be written, or a STOR was cancelled
    Done = 0,
    Refused = 450,      // not now: the message is in use; for a STOR also the main unit
                        // being short of room, or its copy being newer
    Unavailable = 550,  // RETR: the requested files are gone; DELE: the main unit does not
                        // delete them
};

constexpr TransferResult transferResultOf(int code) {
    return TransferResult{code};
}
// No reply is a failure, a success is done, any other code is carried on.
constexpr TransferResult transferResultOf(ReplyCode reply) {
    switch (reply) {
        case ReplyCode::NoReply:
            return TransferResult::Failed;
        case ReplyCode::Success:
            return TransferResult::Done;
        default:
            return transferResultOf(codeOf(reply));
    }
}
constexpr int codeOf(TransferResult result) {
    return static_cast<int>(result);
}

std::ostream& operator<<(std::ostream& out, TransferResult result);

}  // namespace orven
