#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "reminder/clock.h"

namespace reminder {
namespace {

void expectTimeOfDay(ClockReading now) {
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23 && now.hour == std::floor(now.hour)) << now.hour;
  EXPECT_TRUE(now.minute >= 0 && now.minute <= 59 && now.minute == std::floor(now.minute));
}

#ifdef _WIN32
TEST(SystemClock, ReadsAWholeHourAndMinute) { expectTimeOfDay(SystemClock{}.read()); }
#else
// Local time, not UTC: nine hours east moves the hour by nine.
TEST(SystemClock, ReadsTheLocalTimeOfDay) {
  setenv("TZ", "UTC0", 1);
  tzset();
  const ClockReading utc = SystemClock{}.read();
  setenv("TZ", "JST-9", 1);
  tzset();
  const ClockReading tokyo = SystemClock{}.read();
  unsetenv("TZ");
  tzset();
  expectTimeOfDay(tokyo);
  if (tokyo.minute != utc.minute) GTEST_SKIP() << "the minute changed between the readings";
  EXPECT_EQ(std::fmod(utc.hour + 9, 24), tokyo.hour);
}
#endif

}  // namespace
}  // namespace reminder
