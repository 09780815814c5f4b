#include "reminder.h"

#include <cmath>

#include "numeric_value.h"

namespace reminder {
namespace {

// How far before the armed time a target may lie and still count as today:
// a reminder set a moment late should fire at once, not tomorrow.
constexpr double kGraceMinutes = 5;

bool inRange(double value, double last) { return value >= 0 && value <= last; }

}  // namespace

bool isDue(ClockReading now, double targetHour, double targetMinute, const ArmedTime& armed) {
  if (!inRange(targetHour, 23) || !inRange(targetMinute, 59)) return true;

  const double nowOfDay = now.hour * 60 + now.minute;
  const double target = targetHour * 60 + targetMinute;
  const double armedOfDay = armed.armedHour.value_or(0) * 60 + armed.armedMinute;

  if (target >= armedOfDay - kGraceMinutes) return nowOfDay >= target;
  return nowOfDay >= target && nowOfDay < armedOfDay;
}

void Reminder::armReminder() {
  const ClockReading now = clock_.read();
  armed_.armedHour = now.hour;
  // The clock minute is whole and 0-59; nearbyint keeps the conversion exact.
  armed_.armedMinute = static_cast<std::int16_t>(std::nearbyint(now.minute));
  window_.hide();
}

void Reminder::checkReminder() {
  const ClockReading now = clock_.read();
  const double targetHour = numericValue(window_.textOfT1());
  const double targetMinute = numericValue(window_.textOfT2());
  if (isDue(now, targetHour, targetMinute, armed_)) window_.show();
  window_.raise();
}

}  // namespace reminder
