#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <tuple>

#include "reminder/clock.h"

namespace reminder {
namespace {

// Against the C library's local time, in zones chosen while it runs (on Windows, the system's).
TEST(SystemClock, ReadsTheLocalTimeOfANewZone) {
  for (const char* zone : {"JST-9", "UTC0", "HST10"}) {
#ifndef _WIN32
    setenv("TZ", zone, 1);
#endif
    const std::time_t now = std::time(nullptr);
    const ClockReading r = SystemClock{}.read();
    const std::tm t = *std::localtime(&now);
    if (now / 60 != std::time(nullptr) / 60) continue;  // The minute changed meanwhile.
    EXPECT_EQ(std::tuple(r.day, r.hour, r.minute, r.second / 60, r.millisecond / 1000),
              std::tuple(civilDay(t.tm_year + 1900, t.tm_mon + 1u, t.tm_mday + 0u), t.tm_hour + 0.,
                         t.tm_min + 0., 0, 0))
        << zone;
  }
}

}  // namespace
}  // namespace reminder
