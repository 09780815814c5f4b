#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "reminder/reminder.h"

namespace reminder::testing {

class FakeClock final : public Clock {
 public:
  void set(std::int32_t day, double hour, double minute, int second = 0, int millisecond = 0) {
    now_ = {hour, minute, day, second, millisecond};
  }
  ClockReading read() const override { return now_; }

 private:
  ClockReading now_;
};

// What a user would see of the window: a desktop in miniature that carries out
// the operations as a real one does, refusals included.
struct Seen {
  bool shown = false, minimised = false, above = false, attention = false, focused = false;
  bool centred = false, onOtherDesktop = false, offScreen = false;
  std::optional<WindowOps::Stacking> raised{};  // By the last step.
  bool operator==(const Seen&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Seen& s) {
  for (const bool on : {s.shown, s.minimised, s.above, s.attention, s.focused, s.centred,
                        s.onOtherDesktop, s.offScreen})
    os << on;  // In the order of the members.
  return os << " raised " << (s.raised ? static_cast<int>(*s.raised) : -1);
}

class FakeWindow final : public WindowOps {
 public:
  void hide() override { seen.shown = false; }
  void show(Show how) override {
    if (seen.shown) return;
    seen.shown = true;
    if (how == Show::kStart) seen.focused = true;
  }
  bool raise(Stacking stacking) override {
    if (refuseRaise) return false;
    seen.raised = stacking;
    return true;
  }
  void restore() override { seen.minimised = false; }
  void keepAbove(bool above) override { seen.above = above; }
  void requestAttention(bool wanted) override { seen.attention = wanted; }
  void centre() override { seen.centred = true, seen.offScreen = false; }
  void toCurrentDesktop() override { seen.onOtherDesktop = false; }
  bool isHidden() const override { return !seen.shown; }
  bool isMinimised() const override { return seen.minimised; }
  bool isOnAScreen() const override { return !seen.offScreen; }
  std::u16string textOfT1() const override { return t1; }
  std::u16string textOfT2() const override { return t2; }

  std::u16string t1, t2;
  bool refuseRaise = false;
  Seen seen;
};

}  // namespace reminder::testing
