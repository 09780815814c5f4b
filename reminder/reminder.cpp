#include "reminder.h"

#include <cmath>

#include "numeric_value.h"

namespace reminder {
namespace {

// How far before the armed time a target may lie and still count as today:
// a reminder set a moment late should fire at once, not tomorrow.
constexpr double kGraceMinutes = 5;

constexpr double kMinutesPerDay = 24 * 60;
constexpr int kCheckPeriodMs = 20'000;

bool inRange(double value, double last) { return value >= 0 && value <= last; }

double moment(double day, double hour, double minute) {
  return day * kMinutesPerDay + hour * 60 + minute;
}

}  // namespace

bool isDue(const ClockReading& now, double targetHour, double targetMinute,
           const ArmedTime& armed) {
  if (!inRange(targetHour, 23) || !inRange(targetMinute, 59)) return true;

  const double target = targetHour * 60 + targetMinute;
  const double armedDay = armed.armedHour ? armed.armedDay : now.day;
  const double limit =
      moment(armedDay, armed.armedHour.value_or(0), armed.armedMinute) - kGraceMinutes;
  double due = std::floor(limit / kMinutesPerDay) * kMinutesPerDay + target;
  if (due < limit) due += kMinutesPerDay;
  return moment(now.day, now.hour, now.minute) >= due;
}

int millisecondsToNextCheck(const ClockReading& now) {
  const int intoPeriod =
      ((now.second * 1000 + now.millisecond) % kCheckPeriodMs + kCheckPeriodMs) % kCheckPeriodMs;
  return kCheckPeriodMs - intoPeriod;
}

int Reminder::start() {
  window_.centre();
  window_.show(WindowOps::Show::kStart);
  return millisecondsToNextCheck(clock_.read());
}

void Reminder::armReminder() {
  const ClockReading now = clock_.read();
  armed_.armedHour = now.hour;
  // The clock minute is whole and 0-59; nearbyint keeps the conversion exact.
  armed_.armedMinute = static_cast<std::int16_t>(std::nearbyint(now.minute));
  armed_.armedDay = now.day;
  if (state_ == State::kPoppedUp) {
    // An ordinary window again before it goes, so that it does not come back
    // above everything, or marked, before its time.
    window_.requestAttention(false);
    window_.keepAbove(false);
  }
  window_.hide();
  state_ = State::kArmed;
}

int Reminder::checkReminder() {
  const ClockReading now = clock_.read();
  const double targetHour = numericValue(window_.textOfT1());
  const double targetMinute = numericValue(window_.textOfT2());
  const bool due = isDue(now, targetHour, targetMinute, armed_);
  switch (state_) {
    case State::kNeverArmed:
      // The window is the user's to arrange: asked to the front, never
      // brought out of the minimised state (the user, or the shortcut that
      // started it, put it there). A refusal leaves it where it stands.
      if (due && window_.isHidden()) window_.show(WindowOps::Show::kWithoutFocus);
      if (!window_.isHidden() && !window_.isMinimised())
        window_.raise(WindowOps::Stacking::kOrdinary);
      break;
    case State::kArmed:
      if (due) popUp();
      break;
    case State::kPoppedUp:
      keepInView(false);
      break;
  }
  return millisecondsToNextCheck(now);
}

void Reminder::windowActivated() { window_.requestAttention(false); }

// The reminder has come: where the user can see it (its old place unless that
// is no longer wholly on a screen), above the user's work, marked for
// attention, without taking the keyboard from what the user is typing in.
void Reminder::popUp() {
  state_ = State::kPoppedUp;
  if (!window_.isOnAScreen()) window_.centre();
  window_.keepAbove(true);
  keepInView(true);
}

// Until armed again the reminder stays in view: brought back if it was
// minimised (from the taskbar, or by "show desktop"), onto the desktop in
// use, above whatever came up since; marked again whenever it had been out
// of view or the desktop refused to put it on top.
void Reminder::keepInView(bool askAttention) {
  if (window_.isHidden()) {
    window_.show(WindowOps::Show::kWithoutFocus);
    askAttention = true;
  }
  if (window_.isMinimised()) {
    window_.restore();
    askAttention = true;
  }
  window_.toCurrentDesktop();
  if (!window_.raise(WindowOps::Stacking::kAbove)) askAttention = true;
  if (askAttention) window_.requestAttention(true);
}

}  // namespace reminder
