#pragma once

#include <atomic>

#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven {

// What every piece of the FTP dialogue needs besides the sockets: the event pump, the
// time-outs and the cancel flag.
struct LinkContext {
    Ui* ui = nullptr;
    Timing timing;
    std::atomic<int>* cancelFlag = nullptr;

    void pump() const {
        if (ui) {
            ui->pump();
        }
    }
    bool cancelled() const { return cancelFlag && cancelFlag->load() != 0; }
};

}  // namespace orven
