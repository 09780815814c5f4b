#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "reminder/clock.h"

namespace reminder {
namespace {

void expectWholeParts(const ClockReading& now) {
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23 && now.hour == std::floor(now.hour)) << now.hour;
  EXPECT_TRUE(now.minute >= 0 && now.minute <= 59 && now.minute == std::floor(now.minute));
  EXPECT_TRUE(now.second >= 0 && now.second <= 59) << now.second;
  EXPECT_TRUE(now.millisecond >= 0 && now.millisecond <= 999) << now.millisecond;
  EXPECT_GT(now.day, civilDay(2020, 1, 1));
}

#ifdef _WIN32
TEST(SystemClock, ReadsAWholeDateAndTime) { expectWholeParts(SystemClock{}.read()); }
#else
double minutesOf(const ClockReading& now) { return now.day * 1440.0 + now.hour * 60 + now.minute; }

ClockReading readIn(const char* zone) {
  setenv("TZ", zone, 1);
  tzset();
  return SystemClock{}.read();
}

// Local date and time, not UTC: nine hours east is 540 minutes later on the
// wall clock, whether or not the date differs; ten hours west is 600 earlier.
TEST(SystemClock, ReadsTheLocalDateAndTime) {
  const ClockReading utc = readIn("UTC0");
  const ClockReading tokyo = readIn("JST-9");
  const ClockReading honolulu = readIn("HST10");
  unsetenv("TZ");
  tzset();
  expectWholeParts(utc);
  expectWholeParts(tokyo);
  expectWholeParts(honolulu);
  if (tokyo.minute != utc.minute || honolulu.minute != utc.minute) {
    GTEST_SKIP() << "the minute changed between the readings";
  }
  EXPECT_EQ(minutesOf(tokyo) - minutesOf(utc), 540);
  EXPECT_EQ(minutesOf(honolulu) - minutesOf(utc), -600);
  EXPECT_EQ(tokyo.day - utc.day, utc.hour + 9 >= 24 ? 1 : 0);
}

// In UTC the day is the count of whole days since the epoch.
TEST(SystemClock, CountsDaysFromTheEpoch) {
  const std::time_t before = std::time(nullptr);
  const ClockReading utc = readIn("UTC0");
  const std::time_t after = std::time(nullptr);
  unsetenv("TZ");
  tzset();
  if (before / 86400 != after / 86400) GTEST_SKIP() << "midnight passed during the reading";
  EXPECT_EQ(utc.day, before / 86400);
  EXPECT_EQ(utc.hour, before % 86400 / 3600);
}
#endif

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
