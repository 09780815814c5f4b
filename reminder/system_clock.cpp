// The one file of the core that calls the platform: everything else takes a Clock.
#include "clock.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <time.h>

#include <algorithm>
#endif

namespace reminder {

ClockReading SystemClock::read() const {
  ClockReading reading;
#ifdef _WIN32
  SYSTEMTIME now{};
  GetLocalTime(&now);
  reading.hour = now.wHour;
  reading.minute = now.wMinute;
  reading.day = civilDay(now.wYear, now.wMonth, now.wDay);
  reading.second = now.wSecond;
  reading.millisecond = now.wMilliseconds;
#else
  timespec now{};
  tm local{};
  // localtime_r does not look at the zone again; tzset does, so that a zone
  // chosen while the program runs (TZ, or a new /etc/localtime) is followed.
  tzset();
  if (clock_gettime(CLOCK_REALTIME, &now) != 0 || localtime_r(&now.tv_sec, &local) == nullptr) {
    return reading;  // Unreachable for any real time; midnight is the safe reading.
  }
  reading.hour = local.tm_hour;
  reading.minute = local.tm_min;
  reading.day = civilDay(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                         static_cast<unsigned>(local.tm_mday));
  reading.second = std::min(local.tm_sec, 59);  // A leap second stays in its minute.
  reading.millisecond = static_cast<int>(now.tv_nsec / 1'000'000);
#endif
  return reading;
}

}  // namespace reminder
