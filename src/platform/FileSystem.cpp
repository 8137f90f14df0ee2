#include "platform/FileSystem.h"

namespace orven {

FileSystem::~FileSystem() = default;

bool FileSystem::writeAll(int fd, const std::filesystem::path&, std::string_view bytes) const {
    return FileIo::writeAll(fd, bytes);
}

bool FileSystem::flushFolder(const std::filesystem::path& folder) const {
    return FileIo::flushFolder(folder);
}

ReadResult FileSystem::readWhole(const std::filesystem::path& file, std::uint64_t maxBytes) const {
    return FileIo::readWhole(file, maxBytes);
}

}  // namespace orven
