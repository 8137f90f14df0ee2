#include "platform/Clock.h"

namespace orven {

// Defined here so the vtable has one home.
Clock::~Clock() = default;

}  // namespace orven
