#pragma once

#include "platform/Clock.h"

namespace orven {

// The PC's local time, in the zone and daylight rules of the user's session.
class SystemClock : public Clock {
  public:
    LocalTime now() const override;
};

}  // namespace orven
