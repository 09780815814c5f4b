#pragma once

#include <chrono>
#include <cstdint>

namespace reminder {

// The local date and time of day, all from one reading of the clock so that
// they always belong to the same instant.
struct ClockReading {
  double hour = 0;       // 0-23
  double minute = 0;     // 0-59
  std::int32_t day = 0;  // The local calendar date, as days since 1970-01-01.
  int second = 0;        // 0-59
  int millisecond = 0;   // 0-999
};

// Days since 1970-01-01 of a civil date (negative before it), so that dates
// across months and years compare and subtract as plain numbers.
constexpr std::int32_t civilDay(int year, unsigned month, unsigned day) {
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                         std::chrono::day{day}};
  return static_cast<std::int32_t>(std::chrono::sys_days{date}.time_since_epoch().count());
}

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
