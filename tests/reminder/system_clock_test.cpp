#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <tuple>

#include "reminder/clock.h"

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace reminder {
namespace {

// Checks the reading against the C library's local time of the same moment
// (std::localtime reads the zone anew) and returns its hour; -1 when the
// minute changed meanwhile.
double checkedHour() {
  const std::time_t now = std::time(nullptr);
  const ClockReading r = SystemClock{}.read();
  const std::tm local = *std::localtime(&now);
  if (now / 60 != std::time(nullptr) / 60) return -1;
  EXPECT_EQ(std::tuple(r.day, r.hour, r.minute),
            std::tuple(civilDay(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                static_cast<unsigned>(local.tm_mday)),
                       double(local.tm_hour), double(local.tm_min)));
  EXPECT_TRUE(r.second >= 0 && r.second <= 59 && r.millisecond >= 0 && r.millisecond <= 999);
  return r.hour;
}

// The local time in zones east and west of UTC, each chosen while the program
// runs (on Windows, the system's zone).
TEST(SystemClock, ReadsTheLocalTimeOfANewZone) {
  for (const char* zone : {"JST-9", "UTC0", "HST10"}) {
#ifndef _WIN32
    setenv("TZ", zone, 1);
#endif
    SCOPED_TRACE(zone);
    checkedHour();
  }
}

#ifndef _WIN32
// What users meet: no TZ, and /etc/localtime replaced while the program runs.
// On a private mount, so the machine's zone stays as it is. The C library
// notices a new file by its modification time, in whole seconds.
TEST(SystemClock, FollowsANewLocaltimeFile) {
  if (geteuid() != 0) GTEST_SKIP() << "a private mount of /etc/localtime needs root";
  const std::string file = "/tmp/localtime-" + std::to_string(getpid());
  const auto read = [](const char* zone) {  // First: the file mounted over may be one of them.
    std::ifstream in(std::string("/usr/share/zoneinfo/") + zone, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string tokyo = read("Asia/Tokyo"), utc = read("UTC");
  std::ofstream(file) << tokyo;
  ASSERT_EQ(unshare(CLONE_NEWNS), 0);
  ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
  ASSERT_EQ(mount(file.c_str(), "/etc/localtime", nullptr, MS_BIND, nullptr), 0);
  unlink(file.c_str());
  unsetenv("TZ");
  for (double before = -1, after = -1; before < 0 || after < 0;) {
    std::ofstream("/etc/localtime") << tokyo;  // In place, a second apart.
    before = checkedHour();
    sleep(1);
    std::ofstream("/etc/localtime") << utc;
    after = checkedHour();
    if (before >= 0 && after >= 0) {
      EXPECT_EQ(std::fmod(after + 9, 24), before);
    }
  }
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
