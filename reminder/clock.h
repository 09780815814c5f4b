#pragma once

namespace reminder {

// Hour (0-23) and minute (0-59) of the local time of day, both from one reading
// of the clock so that they always belong to the same instant.
struct ClockReading {
  double hour = 0;
  double minute = 0;
};

// The clock as a parameter, so that tests and benchmarks can set any time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading read() const = 0;
};

// Reads the operating system's local wall clock.
class SystemClock final : public Clock {
 public:
  ClockReading read() const override;
};

}  // namespace reminder
