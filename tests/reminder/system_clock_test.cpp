#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "reminder/clock.h"

namespace reminder {
namespace {

TEST(SystemClock, ReadsAWholeHourAndMinuteOfTheDay) {
  const ClockReading now = SystemClock{}.read();
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
  EXPECT_EQ(now.hour, std::floor(now.hour));
  EXPECT_EQ(now.minute, std::floor(now.minute));
}

#ifndef _WIN32
// The reading is local time: moving the time zone by nine hours moves the hour.
TEST(SystemClock, FollowsTheLocalTimeZone) {
  const char* saved = std::getenv("TZ");
  const std::string savedTz = saved ? saved : "";
  setenv("TZ", "UTC0", 1);
  tzset();
  const ClockReading utc = SystemClock{}.read();
  setenv("TZ", "JST-9", 1);
  tzset();
  const ClockReading tokyo = SystemClock{}.read();
  if (saved) {
    setenv("TZ", savedTz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  if (tokyo.minute != utc.minute) GTEST_SKIP() << "the minute changed between the readings";
  EXPECT_EQ(std::fmod(utc.hour + 9, 24), tokyo.hour);
}
#endif

}  // namespace
}  // namespace reminder
