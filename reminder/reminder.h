#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "clock.h"

namespace reminder {

// What the reminder needs of its window. Each program's window supplies these;
// the core never sees a toolkit type. Texts are UTF-16, as Win32 and Qt hold them.
class WindowOps {
 public:
  virtual void hide() = 0;
  virtual void show() = 0;   // Not modal, no owner; showing a shown window changes nothing.
  virtual void raise() = 0;  // To the top of the stacking order.
  virtual std::u16string textOfT1() const = 0;  // The target hour box.
  virtual std::u16string textOfT2() const = 0;  // The target minute box.

 protected:
  ~WindowOps() = default;
};

// The clock time at the last arming. armedHour is empty until the first
// arming; until then the armed time counts as 0:00 of the day being checked.
struct ArmedTime {
  std::optional<double> armedHour;
  std::int16_t armedMinute = 0;
  std::int32_t armedDay = 0;  // As ClockReading::day.
};

// Whether the window should be shown, given one clock reading, the target
// typed into the boxes and the armed time. Moments are local wall-clock
// minutes on one line, day * 1440 + hour * 60 + minute, so that a
// daylight-saving change neither skips nor repeats a reminder: a target the
// clock jumps over is due once it has jumped.
//  - a target outside 0:00-23:59 (in either part) is due at once, so that the
//    user sees it was not taken;
//  - otherwise it is due at its first time of day at or after five minutes
//    before the armed time, and stays due from then on, however many days
//    later the check comes.
bool isDue(const ClockReading& now, double targetHour, double targetMinute, const ArmedTime& armed);

// Milliseconds from the reading to the next :00, :20 or :40 second of the
// clock, strictly after it (20000 on a mark): ticks stay on those marks
// however late a timer fires, instead of drifting.
int millisecondsToNextCheck(const ClockReading& now);

// The reminder behind one window: arming on the button, the check on each tick.
class Reminder {
 public:
  Reminder(WindowOps& window, const Clock& clock) : window_(window), clock_(clock) {}

  // Notes the clock time as the armed time and hides the window. Reads no box:
  // the target is judged afresh on every tick.
  void armReminder();

  // Shows the window when its target is due, then raises it whatever was
  // decided. Never hides the window, writes a box or changes the armed time.
  // Returns the milliseconds to the next check, from the same clock reading:
  // one reading a tick.
  int checkReminder();

  const ArmedTime& armedTime() const { return armed_; }

 private:
  WindowOps& window_;
  const Clock& clock_;
  ArmedTime armed_;
};

}  // namespace reminder
