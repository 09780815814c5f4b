#pragma once

#include <optional>
#include <string>
#include <utility>

#include "reminder/reminder.h"

namespace reminder::testing {

struct FakeClock final : Clock {
  ClockReading now;
  ClockReading read() const override { return now; }
};

// A desktop in miniature, refusals included, telling what a user would see of the window.
class FakeWindow final : public WindowOps {
 public:
  void hide() override { shown = false; }
  void show(Show how) override {  // A shown window stays as it is.
    focused = focused || (!shown && how == Show::kStart), shown = true;
  }
  bool raise(Stacking stacking) override { return !refuseRaise && (raised = stacking, true); }
  void restore() override { minimised = false; }
  void keepAbove(bool on) override { above = on; }
  void requestAttention(bool wanted) override { marked = wanted; }
  void centre() override { centred = true, offScreen = false; }
  void toCurrentDesktop() override { elsewhere = false; }
  bool isHidden() const override { return !shown; }
  bool isMinimised() const override { return minimised; }
  bool isOnAScreen() const override { return !offScreen; }
  std::u16string textOfT1() const override { return t1; }
  std::u16string textOfT2() const override { return t2; }

  // In a fixed order, each state that holds; then how it was last raised.
  std::string seen() const {
    std::string words;
    const std::pair<bool, const char*> states[] = {
        {shown, "shown"},     {minimised, "minimised"}, {above, "above"},        {marked, "marked"},
        {focused, "focused"}, {centred, "centred"},     {elsewhere, "elsewhere"}};
    for (const auto& [on, word] : states)
      if (on) words += std::string(words.empty() ? "" : " ") + word;
    if (raised) words += raised == Stacking::kAbove ? ", raised above" : ", raised";
    return words;
  }

  std::u16string t1, t2;
  bool shown = false, minimised = false, above = false, marked = false, focused = false;
  bool centred = false, elsewhere = false, offScreen = false, refuseRaise = false;
  std::optional<Stacking> raised;  // By the last step.
};

}  // namespace reminder::testing
