#include "platform/FileSystem.h"

namespace orven {

FileSystem::~FileSystem() = default;

}  // namespace orven
