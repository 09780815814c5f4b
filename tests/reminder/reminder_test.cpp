#include "reminder/reminder.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fakes.h"

namespace reminder {
namespace {

using testing::FakeClock;
using testing::FakeWindow;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct DueCase {
  const char* name;
  std::optional<double> armedHour;  // empty: never armed
  int armedMinute;
  double targetHour, targetMinute;
  double nowHour, nowMinute;
  bool due;
};

void PrintTo(const DueCase& c, std::ostream* os) { *os << c.name; }

class IsDue : public ::testing::TestWithParam<DueCase> {};

TEST_P(IsDue, DecidesFromTheTimeOfDay) {
  const DueCase& c = GetParam();
  const ArmedTime armed{c.armedHour, static_cast<std::int16_t>(c.armedMinute)};
  EXPECT_EQ(isDue({c.nowHour, c.nowMinute}, c.targetHour, c.targetMinute, armed), c.due);
}

// Rows marked * fail on a rule that compares hours and minutes separately.
INSTANTIATE_TEST_SUITE_P(
    SameDay, IsDue,
    ::testing::Values(DueCase{"a minute early", 9, 59, 10, 30, 10, 29, false},
                      DueCase{"on time", 9, 59, 10, 30, 10, 30, true},
                      DueCase{"* next hour, smaller minute", 9, 59, 10, 30, 11, 5, true},
                      DueCase{"five minutes late when set", 10, 30, 10, 25, 10, 30, true},
                      DueCase{"* grace across the hour", 10, 3, 9, 59, 10, 3, true},
                      DueCase{"six minutes across the hour", 11, 3, 10, 57, 11, 3, false},
                      DueCase{"fractional hour", 10, 0, 10.5, 0, 10, 29, false},
                      DueCase{"* fractional hour met", 10, 0, 10.5, 0, 10, 30, true},
                      DueCase{"set after midnight for tonight", 0, 2, 23, 58, 23, 57, false},
                      DueCase{"never armed, empty boxes", std::nullopt, 0, 0, 0, 12, 0, true}));

INSTANTIATE_TEST_SUITE_P(
    NextDay, IsDue,
    ::testing::Values(DueCase{"six minutes late, same day", 10, 30, 10, 24, 10, 30, false},
                      DueCase{"six minutes late, next day early", 10, 30, 10, 24, 10, 23, false},
                      DueCase{"six minutes late, next day met", 10, 30, 10, 24, 10, 24, true},
                      DueCase{"same hour, at the armed time", 10, 32, 10, 20, 10, 32, false},
                      DueCase{"evening to morning, late evening", 22, 45, 6, 30, 23, 0, false},
                      DueCase{"* 22:00 to 6:30", 22, 0, 6, 30, 6, 30, true},
                      DueCase{"* 15:10 to 9:30", 15, 10, 9, 30, 9, 45, true},
                      DueCase{"empty boxes, same day", 10, 20, 0, 0, 10, 21, false},
                      DueCase{"empty boxes at 23:59, midnight", 23, 59, 0, 0, 0, 0, true}));

// A target no clock can reach shows the window at once.
INSTANTIATE_TEST_SUITE_P(OutOfRange, IsDue,
                         ::testing::Values(DueCase{"* 24:00", 10, 0, 24, 0, 10, 0, true},
                                           DueCase{"* 25:30", 10, 0, 25, 30, 10, 0, true},
                                           DueCase{"* -1:30", 10, 0, -1, 30, 10, 0, true},
                                           DueCase{"-1:-1", 10, 0, -1, -1, 10, 0, true},
                                           DueCase{"* 10:60", 10, 0, 10, 60, 10, 0, true},
                                           DueCase{"* 10:59.5", 10, 0, 10, 59.5, 10, 0, true},
                                           DueCase{"* infinite hour", 10, 0, kInf, 0, 10, 0, true},
                                           DueCase{"23:59 is in range", 10, 0, 23, 59, 10, 0,
                                                   false}));

class ReminderTest : public ::testing::Test {
 protected:
  void typeTarget(std::u16string hour, std::u16string minute) {
    window.t1 = std::move(hour);
    window.t2 = std::move(minute);
  }
  void armAt(double hour, double minute) {
    clock.set(hour, minute);
    reminder.armReminder();
    window.calls.clear();
  }
  // One tick at the given time; returns the window operations it called.
  std::vector<std::string> tickAt(double hour, double minute) {
    clock.set(hour, minute);
    window.calls.clear();
    reminder.checkReminder();
    return window.calls;
  }

  FakeClock clock;
  FakeWindow window;
  Reminder reminder{window, clock};
  const std::vector<std::string> raiseOnly{"raise"};
  const std::vector<std::string> showAndRaise{"show", "raise"};
};

TEST_F(ReminderTest, ArmingNotesTheClockAndHidesWhateverTheBoxesHold) {
  EXPECT_FALSE(reminder.armedTime().armedHour.has_value());
  clock.set(0, 0);
  reminder.armReminder();
  EXPECT_EQ(window.calls, std::vector<std::string>{"hide"});
  EXPECT_EQ(reminder.armedTime().armedHour, std::optional<double>(0));
  EXPECT_EQ(reminder.armedTime().armedMinute, 0);

  typeTarget(u"abc", u"1e999");
  armAt(23, 59);
  EXPECT_EQ(reminder.armedTime().armedHour, std::optional<double>(23));
  EXPECT_EQ(reminder.armedTime().armedMinute, 59);
  EXPECT_FALSE(window.visible);
}

TEST_F(ReminderTest, TypicalUseHidesThenPopsUpAtTheTargetAndKeepsRaising) {
  typeTarget(u"10", u"30");
  armAt(9, 59);
  EXPECT_EQ(tickAt(10, 0), raiseOnly);
  EXPECT_EQ(tickAt(10, 29), raiseOnly);
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(tickAt(10, 30), showAndRaise);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(tickAt(10, 31), showAndRaise);  // Still due: shown again, never hidden.
  EXPECT_EQ(window.t1, u"10");
  EXPECT_EQ(window.t2, u"30");
}

TEST_F(ReminderTest, EachTickReadsTheClockOnceAndTheBoxesAfresh) {
  typeTarget(u"15", u"0");
  armAt(14, 0);
  const int readsBefore = clock.reads;
  EXPECT_EQ(tickAt(14, 30), raiseOnly);
  EXPECT_EQ(clock.reads, readsBefore + 1);
  typeTarget(u"14", u"15");
  EXPECT_EQ(tickAt(14, 30), showAndRaise);
}

TEST_F(ReminderTest, ASecondArmingReplacesTheFirst) {
  typeTarget(u"6", u"30");
  armAt(22, 0);  // Tomorrow morning.
  EXPECT_EQ(tickAt(23, 0), raiseOnly);
  armAt(5, 0);  // Re-armed in the morning: the same target is now later today.
  EXPECT_EQ(reminder.armedTime().armedHour, std::optional<double>(5));
  EXPECT_EQ(reminder.armedTime().armedMinute, 0);
  EXPECT_EQ(tickAt(6, 29), raiseOnly);
  EXPECT_EQ(tickAt(6, 30), showAndRaise);
}

TEST_F(ReminderTest, FullWidthAndUnreachableTargetsFromTheBoxes) {
  typeTarget(u"１０", u"３０");
  armAt(9, 0);
  EXPECT_EQ(tickAt(10, 29), raiseOnly);
  EXPECT_EQ(tickAt(10, 30), showAndRaise);

  typeTarget(u"24", u"00");
  armAt(10, 0);
  EXPECT_EQ(tickAt(10, 0), showAndRaise);  // At the first tick: the user sees it was not taken.

  typeTarget(u"9", u"1e400");
  armAt(10, 0);
  EXPECT_EQ(tickAt(10, 0), showAndRaise);
}

}  // namespace
}  // namespace reminder
