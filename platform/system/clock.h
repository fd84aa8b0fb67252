#pragma once
// Where the local date and time of day come from: the machine's wall clock, or a virtual
// clock that starts at a fixed moment and moves with the virtual scheduler.
#include <cstdint>
#include <functional>

#include "platform/system/system.h"

namespace veltrix::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

// The machine's local time.
class WallClock : public Clock {
 public:
  LocalTime Now() override;
};

// start + elapsed virtual milliseconds (whole seconds shown). The elapsed time comes from a
// callback, so the clock follows whatever drives virtual time.
class VirtualClock : public Clock {
 public:
  VirtualClock(LocalTime start, std::function<std::int64_t()> elapsedMilliseconds)
      : start_(start), elapsed_(std::move(elapsedMilliseconds)) {}
  LocalTime Now() override;

 private:
  LocalTime start_;
  std::function<std::int64_t()> elapsed_;
};

// Calendar arithmetic on a local time without time zones or leap seconds: the time
// `seconds` later (or earlier, when negative).
LocalTime AddSeconds(const LocalTime& t, std::int64_t seconds);

}  // namespace veltrix::platform
