#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/Services.h"

namespace orven {

// What the store's operations need from the program around them: the services and the
// folder access check. Every member may be left empty: a job without a window has no folder
// access check and nothing to keep alive.
struct StoreContext : Services {
    // The folder access check run before touching the store; false stops the operation.
    std::function<bool()> folderAccessCheck;

    // The one free-space rule of the store and the jobs: at least `needed` bytes free on the
    // volume of the folder. A volume that cannot be asked is not trusted with the write.
    bool hasRoom(const std::filesystem::path& folder, std::uint64_t needed) const {
        const std::optional<std::uint64_t> free = files().freeSpace(folder);
        return free && *free >= needed;
    }
    bool accessOk() const { return !folderAccessCheck || folderAccessCheck(); }
};

}  // namespace orven
