#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "clock.h"

namespace reminder {

// What the reminder asks of its window. Each program's window carries these
// out as its desktop allows and decides nothing: every rule of when the window
// is shown, kept in front or left as the user arranged it is the Reminder's.
// Texts are UTF-16, as Win32 and Qt hold them.
class WindowOps {
 public:
  enum class Show {
    kStart,         // The program's first showing, as it was started, with the focus.
    kWithoutFocus,  // Shown as it stands (minimised stays minimised), the keyboard left alone.
  };
  enum class Stacking {
    kOrdinary,  // To the top of the ordinary windows.
    kAbove,     // Above every ordinary window.
  };

  virtual void hide() = 0;
  virtual void show(Show how) = 0;  // Not modal, no owner; showing a shown window changes nothing.
  // Asks the desktop to stack the window on top; false where it refused.
  virtual bool raise(Stacking stacking) = 0;
  virtual void restore() = 0;                      // Out of the minimised state, without the focus.
  virtual void keepAbove(bool above) = 0;          // Stays above ordinary windows, or no longer.
  virtual void requestAttention(bool wanted) = 0;  // Urgency hint, flashing taskbar button.
  virtual void centre() = 0;            // In the middle of the primary screen's work area.
  virtual void toCurrentDesktop() = 0;  // Onto the workspace or virtual desktop in use.
  virtual bool isHidden() const = 0;
  virtual bool isMinimised() const = 0;
  virtual bool isOnAScreen() const = 0;  // Wholly within the work area of a screen that exists.
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

// The reminder behind one window: its start, arming on the button, the check
// on each tick, and what the window must do at each.
class Reminder {
 public:
  Reminder(WindowOps& window, const Clock& clock) : window_(window), clock_(clock) {}

  // The first showing: centred on the primary screen, as the program was
  // started. Returns the milliseconds to the first check.
  int start();

  // Notes the clock time as the armed time and hides the window, an ordinary
  // window again. Reads no box: the target is judged afresh on every tick.
  void armReminder();

  // Before any arming: shows a hidden window when due and raises it as an
  // ordinary window, leaving a minimised one minimised. Armed: pops the window
  // up when its target is due. Popped up: keeps it in view and above until
  // armed again. Never hides the window, writes a box or changes the armed
  // time; never takes the focus. Returns the milliseconds to the next check,
  // from the same clock reading: one reading a tick.
  int checkReminder();

  // The user has turned to the window: its request for attention is answered.
  void windowActivated();

 private:
  enum class State { kNeverArmed, kArmed, kPoppedUp };

  void popUp();
  void keepInView(bool askAttention);

  WindowOps& window_;
  const Clock& clock_;
  ArmedTime armed_;
  State state_ = State::kNeverArmed;
};

}  // namespace reminder
