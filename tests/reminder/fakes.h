#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reminder/reminder.h"

namespace reminder::testing {

class FakeClock final : public Clock {
 public:
  void set(std::int32_t day, double hour, double minute, int second = 0, int millisecond = 0) {
    now_ = {hour, minute, day, second, millisecond};
  }
  ClockReading read() const override {
    ++reads;
    return now_;
  }
  mutable int reads = 0;

 private:
  ClockReading now_;
};

// Records the window operations in the order they were called.
class FakeWindow final : public WindowOps {
 public:
  void hide() override {
    calls.push_back("hide");
    visible = false;
  }
  void show() override {
    calls.push_back("show");
    visible = true;
  }
  void raise() override { calls.push_back("raise"); }
  std::u16string textOfT1() const override { return t1; }
  std::u16string textOfT2() const override { return t2; }

  std::u16string t1, t2;
  bool visible = true;
  std::vector<std::string> calls;
};

}  // namespace reminder::testing
