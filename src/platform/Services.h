#pragma once

#include <atomic>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalFileSystem.h"
#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven {

class DialogueLog;

// What every layer's long work is given by the program around it. The store, the link and the
// jobs build their own contexts on it, so one set is made per session and handed down. Every
// pointer may be null (nothing to pump, the machine's file system, nothing can cancel, no
// log); what they point to must outlive whoever holds the services.
struct Services {
    // Kept alive between files, pieces and replies of long work; messages and progress.
    Ui* ui = nullptr;
    // Every wait and time-out.
    Timing timing;
    // Names of request lists and of messages made on the PC.
    const Clock* clock = nullptr;
    // Free space checks before anything is written, and every write of a store file.
    const FileSystem* fileSystem = nullptr;
    // Set by Cancel buttons, log-out, exit and signals; long loops end after the current item.
    std::atomic<int>* cancelFlag = nullptr;
    // Set when the always-on download must stop.
    std::atomic<int>* stopRequest = nullptr;
    // Every FTP command and reply line, for support.
    DialogueLog* dialogueLog = nullptr;

    // The file system asked; the machine's own when none was given.
    const FileSystem& files() const {
        return fileSystem != nullptr ? *fileSystem : LocalFileSystem::machine();
    }
    void pump() const {
        if (ui != nullptr) {
            ui->pump();
        }
    }
    bool cancelled() const { return cancelFlag != nullptr && cancelFlag->load() != 0; }
    bool stopRequested() const { return stopRequest != nullptr && stopRequest->load() != 0; }
    // Either flag: what ends the store's long loops.
    bool stopped() const { return cancelled() || stopRequested(); }
};

}  // namespace orven
