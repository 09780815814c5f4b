#include "reminder/reminder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>

#include "fakes.h"

namespace reminder {
namespace {

constexpr std::int32_t kDay = civilDay(2026, 3, 10);
// Nights of a daylight-saving change: the clock jumps 1:59 -> 3:00, then 1:59 -> 1:00.
constexpr std::int32_t kSpring = civilDay(2026, 3, 29), kFall = civilDay(2026, 10, 25);

constexpr ClockReading on(std::int32_t day, double h, double m) { return {h, m, day}; }
constexpr ClockReading at(double hour, double minute) { return on(kDay, hour, minute); }
ArmedTime armedAt(const ClockReading& r) { return {r.hour, std::int16_t(r.minute), r.day}; }

// Rows marked * fail on a rule that compares hours and minutes separately;
// rows marked + fail on one that compares times of day and ignores the date.
TEST(IsDue, DecidesFromTheWallClock) {
  for (const auto& [name, armed, hour, minute, now, due] :
       {std::tuple{"* next hour, smaller minute", armedAt(at(9, 59)), 10., 30., at(11, 5), true},
        {"five minutes late when set", armedAt(at(10, 30)), 10, 25, at(10, 30), true},
        {"* grace across the hour", armedAt(at(10, 3)), 9, 59, at(10, 3), true},
        {"six minutes across the hour", armedAt(at(11, 3)), 10, 57, at(11, 3), false},
        {"fractional hour", armedAt(at(10, 0)), 10.5, 0, at(10, 29), false},
        {"a billionth past: double's rounding, not x87's", armedAt(at(10, 0)), 10, 30.000000001,
         at(10, 30), true},
        {"+ grace across midnight", armedAt(at(0, 2)), 23, 58, at(0, 2), true},
        // Before the first arming the armed time is 0:00 of the day checked, not of 1970.
        {"never armed, before the target", {}, 6, 30, at(6, 29), false},
        {"six minutes late, next day", armedAt(at(10, 30)), 10, 24, on(kDay + 1, 10, 24), true},
        {"* 22:00 to 6:30", armedAt(at(22, 0)), 6, 30, on(kDay + 1, 6, 30), true},
        // Asleep or off past the target: shown on the first check after.
        {"+ 21:00 for 23:30, woken at 7:00", armedAt(at(21, 0)), 23, 30, on(kDay + 1, 7, 0), true},
        {"spring: 2:30 skipped", armedAt(on(kSpring - 1, 22, 0)), 2, 30, on(kSpring, 3, 0), true},
        {"+ fall: 1:30 repeated", armedAt(on(kFall, 1, 50)), 1, 30, on(kFall, 1, 30), false},
        // The user moves the clock: backwards never fires early, forwards past the target fires.
        {"+ back a day, after the target", armedAt(at(10, 0)), 11, 0, on(kDay - 1, 11, 30), false},
        {"+ three days on", armedAt(at(10, 0)), 11, 0, on(kDay + 3, 10, 0), true},
        // A target no clock can reach shows the window at once.
        {"* 24:00", armedAt(at(10, 0)), 24, 0, at(10, 0), true},
        {"* -1:30", armedAt(at(10, 0)), -1, 30, at(10, 0), true},
        {"* 10:59.5", armedAt(at(10, 0)), 10, 59.5, at(10, 0), true},
        {"NaN hour", armedAt(at(10, 0)), std::nan(""), 0, at(10, 0), true}}) {
    EXPECT_EQ(isDue(now, hour, minute, armed), due) << name;
  }
}

// To the next :00, :20 or :40, strictly after the reading; never 0, even in a leap second.
TEST(MillisecondsToNextCheck, WaitsForTheNextMark) {
  for (const auto& [second, millisecond, wait] :
       {std::tuple{0, 0, 20'000}, {39, 999, 1}, {59, 999, 1}, {30, 500, 9'500}, {60, 0, 20'000}}) {
    const ClockReading now{.second = second, .millisecond = millisecond};
    EXPECT_EQ(millisecondsToNextCheck(now), wait) << second << "." << millisecond;
  }
}

// The user's story as the window sees it, one letter a step:
//   S  the program starts          A  セット pressed at 9:59, for 10:30
//   e  a tick at 10:29             d  a tick at 10:30, when 10:30 is due
//   m  the user minimises it       f  the user turns to the window
//   o  its place is off every screen        D  the user works on another virtual desktop
//   r  the desktop refuses every raise from now on
// In FakeWindow::seen's words, after the last step.
TEST(ReminderRules, WindowEndsAsTheUserShouldSeeIt) {
  for (const auto& [name, steps, seen] :
       {// clang-format off
           std::tuple{"the start: centred, with the focus", "S", "shown focused centred"},
           {"before arming: raised as an ordinary window", "Se", "shown focused centred, raised"},
           {"before arming: minimised stays so", "Smd", "shown minimised focused centred"},
           {"before arming: hidden, shown when due, without the focus", "d", "shown, raised"},
           {"before arming: hidden, not yet due", "e", ""},
           {"armed: hidden before its minute", "SAe", "focused centred"},
           {"armed: at its minute above, marked, without the focus", "Ad", "shown above marked, raised above"},
           {"armed off every screen: centred", "Aod", "shown above marked centred, raised above"},
           {"popped up, turned to: unmarked, still above", "Adfd", "shown above, raised above"},
           {"popped up, then minimised: back, marked again", "Adfmd", "shown above marked, raised above"},
           {"popped up, then on another desktop: brought over", "AdDd", "shown above marked, raised above"},
           {"popped up, raise refused: left shown, marked again", "Adfrd", "shown above marked"},
           {"armed again: hidden, ordinary, unmarked", "AdA", ""},
           {"armed again: back at its minute", "AdfAd", "shown above marked, raised above"}}) {
    testing::FakeClock clock;
    testing::FakeWindow window;
    Reminder reminder{window, clock};
    window.t1 = u"10", window.t2 = u"30";
    for (const char* step = steps; *step; ++step) {
      window.raised.reset();
      switch (*step) {
        case 'S': reminder.start(); break;
        case 'A': clock.now = at(9, 59), reminder.armReminder(); break;
        case 'e': clock.now = at(10, 29), reminder.checkReminder(); break;
        case 'd': clock.now = at(10, 30), reminder.checkReminder(); break;
        case 'm': window.minimised = true; break;
        case 'f': reminder.windowActivated(); break;
        case 'o': window.offScreen = true; break;
        case 'D': window.elsewhere = true; break;
        case 'r': window.refuseRaise = true; break;
      }
      // clang-format on
    }
    EXPECT_EQ(window.seen(), seen) << name << " (" << steps << ")";
  }
}

}  // namespace
}  // namespace reminder
