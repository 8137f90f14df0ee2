#pragma once

#include "platform/LocalTime.h"

namespace orven {

// Where the program reads the wall clock (backup schedule, dated folder names, completion
// records), so tests can put it on any day they need.
class Clock {
  public:
    virtual ~Clock();
    virtual LocalTime now() const = 0;
};

}  // namespace orven
