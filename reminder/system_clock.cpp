// The one file of the core that calls the platform: everything else takes a Clock.
#include "clock.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <ctime>
#endif

namespace reminder {

ClockReading SystemClock::read() const {
#ifdef _WIN32
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {static_cast<double>(now.wHour), static_cast<double>(now.wMinute)};
#else
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) {
    return {};  // Unreachable for any real time; midnight is the safe reading.
  }
  return {static_cast<double>(local.tm_hour), static_cast<double>(local.tm_min)};
#endif
}

}  // namespace reminder
