#pragma once

#include <atomic>

#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven {

class DialogueLog;

// What every piece of the FTP dialogue needs besides the sockets: the event pump, the
// time-outs, the cancel flag and the dialogue log (null: none).
struct LinkContext {
    Ui* ui = nullptr;
    Timing timing;
    std::atomic<int>* cancelFlag = nullptr;
    DialogueLog* dialogueLog = nullptr;

    void pump() const {
        if (ui) {
            ui->pump();
        }
    }
    bool cancelled() const { return cancelFlag && cancelFlag->load() != 0; }
};

}  // namespace orven
