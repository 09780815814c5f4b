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

void Reminder::armReminder() {
  const ClockReading now = clock_.read();
  armed_.armedHour = now.hour;
  // The clock minute is whole and 0-59; nearbyint keeps the conversion exact.
  armed_.armedMinute = static_cast<std::int16_t>(std::nearbyint(now.minute));
  armed_.armedDay = now.day;
  window_.hide();
}

int Reminder::checkReminder() {
  const ClockReading now = clock_.read();
  const double targetHour = numericValue(window_.textOfT1());
  const double targetMinute = numericValue(window_.textOfT2());
  if (isDue(now, targetHour, targetMinute, armed_)) window_.show();
  window_.raise();
  return millisecondsToNextCheck(now);
}

}  // namespace reminder
