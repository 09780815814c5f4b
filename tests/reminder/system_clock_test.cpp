#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <tuple>

#include "reminder/clock.h"

namespace reminder {
namespace {

// The reading is the C library's local time of the same moment, in zones
// east and west of UTC (on Windows, the system's zone).
TEST(SystemClock, ReadsTheLocalDateAndTime) {
  for (const char* zone : {"UTC0", "JST-9", "HST10"}) {
#ifndef _WIN32
    setenv("TZ", zone, 1);
    tzset();
#endif
    const std::time_t now = std::time(nullptr);
    const ClockReading r = SystemClock{}.read();
    const std::tm local = *std::localtime(&now);
    if (now / 60 != std::time(nullptr) / 60) continue;  // The minute changed meanwhile.
    EXPECT_EQ(std::tuple(r.day, r.hour, r.minute),
              std::tuple(civilDay(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                  static_cast<unsigned>(local.tm_mday)),
                         double(local.tm_hour), double(local.tm_min)))
        << zone;
    EXPECT_TRUE(r.second >= 0 && r.second <= 59 && r.millisecond >= 0 && r.millisecond <= 999);
  }
#ifndef _WIN32
  unsetenv("TZ");
  tzset();
#endif
}

// The day numbers the rule adds and subtracts: consecutive across a year's end
// and a leap day, counted from the epoch.
TEST(CivilDay, CountsDaysFromTheEpoch) {
  EXPECT_EQ(civilDay(1970, 1, 1), 0);
  EXPECT_EQ(civilDay(2027, 1, 1) - civilDay(2026, 12, 31), 1);
  EXPECT_EQ(civilDay(2028, 3, 1) - civilDay(2028, 2, 28), 2);
  EXPECT_EQ(civilDay(2100, 3, 1) - civilDay(2100, 2, 28), 1);
}

}  // namespace
}  // namespace reminder
