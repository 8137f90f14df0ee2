#pragma once

#include "platform/Timing.h"

namespace orven::test {

// Time-outs short enough that the cases that wait for one stay quick, long enough that a
// busy machine does not trip the others.
inline Timing quickTiming() {
    Timing timing;
    timing.replyTimeoutMs = 3000;
    timing.storEndReplyTimeoutMs = 3000;
    timing.transferEndReadTimeoutMs = 3000;
    timing.dataAcceptTimeoutMs = 3000;
    timing.dataReadTimeoutMs = 3000;
    timing.uploadPiecePauseMs = 0;
    return timing;
}

}  // namespace orven::test
