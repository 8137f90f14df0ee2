#pragma once

#include <chrono>
#include <mutex>

#include "platform/Clock.h"

namespace orven {

// A clock that moves only when told to. Safe to read from the worker thread while a test
// moves it.
class ManualClock : public Clock {
  public:
    explicit ManualClock(const LocalTime& start = LocalTime::make(2000, 1, 1));

    LocalTime now() const override;

    // The weekday of the given time is recomputed; out-of-range fields carry over.
    void set(const LocalTime& time);
    void advance(std::chrono::milliseconds step);

  private:
    mutable std::mutex m_mutex;
    LocalTime m_now;
};

}  // namespace orven
