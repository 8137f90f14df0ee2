#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalFileSystem.h"
#include "platform/Ui.h"

namespace orven {

// What the store's operations need from the program around them. Every member may be left
// empty: a job without a window has no folder access check and nothing to keep alive.
struct StoreContext {
    // Names of request lists and of messages made on the PC.
    const Clock* clock = nullptr;
    // Free space checks before anything is written, and every write of a store file.
    const FileSystem* fileSystem = nullptr;
    // Kept alive between files and pieces of long work.
    Ui* ui = nullptr;
    // The folder access check run before touching the store; false stops the operation.
    std::function<bool()> folderAccessCheck;
    // Set by Cancel buttons, log-out and exit; long loops end after the current item.
    const std::atomic<int>* cancelFlag = nullptr;
    // Set when the always-on download must stop.
    const std::atomic<int>* stopRequest = nullptr;

    // The file system asked; the machine's own when none was given.
    const FileSystem& files() const {
        return fileSystem != nullptr ? *fileSystem : LocalFileSystem::machine();
    }
    // The one free-space rule of the store and the jobs: at least `needed` bytes free on the
    // volume of the folder. A volume that cannot be asked is not trusted with the write.
    bool hasRoom(const std::filesystem::path& folder, std::uint64_t needed) const {
        const std::optional<std::uint64_t> free = files().freeSpace(folder);
        return free && *free >= needed;
    }
    bool accessOk() const { return !folderAccessCheck || folderAccessCheck(); }
    void pump() const {
        if (ui != nullptr) {
            ui->pump();
        }
    }
    bool stopped() const {
        return (cancelFlag != nullptr && cancelFlag->load() != 0) ||
               (stopRequest != nullptr && stopRequest->load() != 0);
    }
};

}  // namespace orven
