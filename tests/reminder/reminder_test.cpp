#include "reminder/reminder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

#include "fakes.h"

namespace reminder {
namespace {

using testing::FakeClock;
using testing::FakeWindow;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr std::int32_t kDay = civilDay(2026, 3, 10);
// Nights of a daylight-saving change: the clock jumps 1:59 -> 3:00, then 1:59 -> 1:00.
constexpr std::int32_t kSpring = civilDay(2026, 3, 29), kFall = civilDay(2026, 10, 25);

constexpr ClockReading on(std::int32_t day, double hour, double minute) {
  return {hour, minute, day};
}
constexpr ClockReading at(double hour, double minute) { return on(kDay, hour, minute); }

struct DueCase {
  const char* name;
  std::optional<ClockReading> armed;  // empty: never armed
  double targetHour, targetMinute;
  ClockReading now;
  bool due;
};

void PrintTo(const DueCase& c, std::ostream* os) { *os << c.name; }

class IsDue : public ::testing::TestWithParam<DueCase> {};

TEST_P(IsDue, DecidesFromTheWallClock) {
  const DueCase& c = GetParam();
  ArmedTime armed;
  if (c.armed) armed = {c.armed->hour, static_cast<std::int16_t>(c.armed->minute), c.armed->day};
  EXPECT_EQ(isDue(c.now, c.targetHour, c.targetMinute, armed), c.due);
}

// Rows marked * fail on a rule that compares hours and minutes separately;
// rows marked + fail on one that compares times of day and ignores the date.
INSTANTIATE_TEST_SUITE_P(
    Rows, IsDue,
    ::testing::Values(
        DueCase{"* next hour, smaller minute", at(9, 59), 10, 30, at(11, 5), true},
        DueCase{"five minutes late when set", at(10, 30), 10, 25, at(10, 30), true},
        DueCase{"* grace across the hour", at(10, 3), 9, 59, at(10, 3), true},
        DueCase{"six minutes across the hour", at(11, 3), 10, 57, at(11, 3), false},
        DueCase{"fractional hour", at(10, 0), 10.5, 0, at(10, 29), false},
        DueCase{"+ grace across midnight", at(0, 2), 23, 58, at(0, 2), true},
        // Before the first arming the armed time is 0:00 of the day checked, not of 1970.
        DueCase{"never armed, before the target", std::nullopt, 6, 30, at(6, 29), false},
        DueCase{"six minutes late, next day", at(10, 30), 10, 24, on(kDay + 1, 10, 24), true},
        DueCase{"* 22:00 to 6:30", at(22, 0), 6, 30, on(kDay + 1, 6, 30), true},
        // Asleep or off past the target: shown on the first check after.
        DueCase{"+ 21:00 for 23:30, woken at 7:00", at(21, 0), 23, 30, on(kDay + 1, 7, 0), true},
        DueCase{"spring: 2:30 skipped", on(kSpring - 1, 22, 0), 2, 30, on(kSpring, 3, 0), true},
        DueCase{"+ fall: 1:30 repeated", on(kFall, 1, 50), 1, 30, on(kFall, 1, 30), false},
        // The user moves the clock: backwards never fires early, forwards past the target fires.
        DueCase{"+ back a day, after the target", at(10, 0), 11, 0, on(kDay - 1, 11, 30), false},
        DueCase{"+ three days on, before the target", at(10, 0), 11, 0, on(kDay + 3, 10, 0), true},
        // A target no clock can reach shows the window at once.
        DueCase{"* 24:00", at(10, 0), 24, 0, at(10, 0), true},
        DueCase{"* -1:30", at(10, 0), -1, 30, at(10, 0), true},
        DueCase{"* 10:59.5", at(10, 0), 10, 59.5, at(10, 0), true},
        DueCase{"NaN hour", at(10, 0), kNaN, 0, at(10, 0), true}));

// To the next :00, :20 or :40, strictly after the reading; never 0, even in a leap second.
TEST(MillisecondsToNextCheck, WaitsForTheNextMark) {
  for (const auto& [second, millisecond, wait] :
       {std::tuple{0, 0, 20'000}, {39, 999, 1}, {59, 999, 1}, {30, 500, 9'500}, {60, 0, 20'000}}) {
    ClockReading now;
    now.second = second;
    now.millisecond = millisecond;
    EXPECT_EQ(millisecondsToNextCheck(now), wait) << second << "." << millisecond;
  }
}

// The user's story as the window sees it, one letter a step:
//   S  the program starts          A  セット pressed at 9:59, for 10:30
//   e  a tick at 10:29             d  a tick at 10:30, when 10:30 is due
//   m  the user minimises it       f  the user turns to the window
//   o  its place is off every screen (a monitor unplugged)
//   D  the user works on another virtual desktop
//   r  the desktop refuses every raise from now on
struct Story {
  const char* name;
  const char* steps;
  const char* seen;  // After the last step, in FakeWindow::seen's words.
};

void PrintTo(const Story& s, std::ostream* os) { *os << s.name << " (" << s.steps << ")"; }

class ReminderRules : public ::testing::TestWithParam<Story> {};

TEST_P(ReminderRules, WindowEndsAsTheUserShouldSeeIt) {
  FakeClock clock;
  FakeWindow window;
  Reminder reminder{window, clock};
  window.t1 = u"10", window.t2 = u"30";
  for (const char* step = GetParam().steps; *step; ++step) {
    window.raised.reset();
    // clang-format off
    switch (*step) {
      case 'S': reminder.start(); break;
      case 'A': clock.set(kDay, 9, 59), reminder.armReminder(); break;
      case 'e': clock.set(kDay, 10, 29), reminder.checkReminder(); break;
      case 'd': clock.set(kDay, 10, 30), reminder.checkReminder(); break;
      case 'm': window.minimised = true; break;
      case 'f': reminder.windowActivated(); break;
      case 'o': window.offScreen = true; break;
      case 'D': window.elsewhere = true; break;
      case 'r': window.refuseRaise = true; break;
      default: FAIL() << "no step " << *step;
    }
    // clang-format on
  }
  EXPECT_EQ(window.seen(), GetParam().seen);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, ReminderRules, ::testing::Values(
    Story{"the start: centred, with the focus", "S", "shown focused centred"},
    Story{"before arming: raised as an ordinary window", "Se", "shown focused centred, raised"},
    Story{"before arming: minimised stays so", "Smd", "shown minimised focused centred"},
    Story{"before arming: hidden, shown when due, without the focus", "d", "shown, raised"},
    Story{"before arming: hidden, not yet due", "e", ""},
    Story{"armed: hidden before its minute", "SAe", "focused centred"},
    Story{"armed: at its minute above, marked, without the focus", "Ad", "shown above marked, raised above"},
    Story{"armed off every screen: centred", "Aod", "shown above marked centred, raised above"},
    Story{"popped up, turned to: unmarked, still above", "Adfd", "shown above, raised above"},
    Story{"popped up, then minimised: back, marked again", "Adfmd", "shown above marked, raised above"},
    Story{"popped up, then on another desktop: brought over", "AdDd", "shown above marked, raised above"},
    Story{"popped up, raise refused: left shown, marked again", "Adfrd", "shown above marked"},
    Story{"armed again: hidden, ordinary, unmarked", "AdA", ""},
    Story{"armed again: back at its minute", "AdfAd", "shown above marked, raised above"}));
// clang-format on

}  // namespace
}  // namespace reminder
