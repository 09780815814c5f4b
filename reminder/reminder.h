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
// arming and then counts as 0 in every comparison.
struct ArmedTime {
  std::optional<double> armedHour;
  std::int16_t armedMinute = 0;
};

// Whether the window should be shown, given one clock reading, the target
// typed into the boxes and the armed time. Times of day are compared in
// minutes since midnight:
//  - a target outside 0:00-23:59 (in either part) is due at once, so that the
//    user sees it was not taken;
//  - a target at or after five minutes before the armed time is later today,
//    and due once the clock reaches it;
//  - an earlier target is tomorrow's, due once the clock has passed midnight
//    and reached it, while still before the armed time.
bool isDue(ClockReading now, double targetHour, double targetMinute, const ArmedTime& armed);

// The reminder behind one window: arming on the button, the check on each tick.
class Reminder {
 public:
  Reminder(WindowOps& window, const Clock& clock) : window_(window), clock_(clock) {}

  // Notes the clock time as the armed time and hides the window. Reads no box:
  // the target is judged afresh on every tick.
  void armReminder();

  // Shows the window when its target is due, then raises it whatever was
  // decided. Never hides the window, writes a box or changes the armed time.
  void checkReminder();

  const ArmedTime& armedTime() const { return armed_; }

 private:
  WindowOps& window_;
  const Clock& clock_;
  ArmedTime armed_;
};

}  // namespace reminder
