// Cost of the core's work on each tick and of reading very long texts.
#include <benchmark/benchmark.h>

#include <string>

#include "reminder/numeric_value.h"
#include "reminder/reminder.h"

namespace {

class StillClock final : public reminder::Clock {
 public:
  reminder::ClockReading read() const override { return {10, 29}; }
};

// A window whose operations cost nothing, so the figure is the core's own.
class NullWindow final : public reminder::WindowOps {
 public:
  void hide() override {}
  void show(Show) override { benchmark::ClobberMemory(); }
  bool raise(Stacking) override { return benchmark::ClobberMemory(), true; }
  void restore() override {}
  void keepAbove(bool) override {}
  void requestAttention(bool) override {}
  void centre() override {}
  void toCurrentDesktop() override {}
  bool isHidden() const override { return false; }
  bool isMinimised() const override { return false; }
  bool isOnAScreen() const override { return true; }
  std::u16string textOfT1() const override { return u"10"; }
  std::u16string textOfT2() const override { return u"30"; }
};

void BM_checkReminder(benchmark::State& state) {
  StillClock clock;
  NullWindow window;
  reminder::Reminder reminder(window, clock);
  reminder.armReminder();
  for (auto _ : state) reminder.checkReminder();
}
BENCHMARK(BM_checkReminder);

void numericValueOf(benchmark::State& state, char16_t fill) {
  const std::u16string text(static_cast<std::size_t>(state.range(0)), fill);
  for (auto _ : state) benchmark::DoNotOptimize(reminder::numericValue(text));
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * state.range(0) * 2);
}

void BM_numericValueDigits(benchmark::State& state) { numericValueOf(state, u'9'); }
void BM_numericValueLetters(benchmark::State& state) { numericValueOf(state, u'x'); }
void BM_numericValueBlanks(benchmark::State& state) { numericValueOf(state, u'\u3000'); }

// 10 million characters (10 MB as typed, 20 MB as UTF-16); the smaller sizes
// show that the time grows linearly.
BENCHMARK(BM_numericValueDigits)
    ->RangeMultiplier(10)
    ->Range(100'000, 10'000'000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_numericValueLetters)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_numericValueBlanks)
    ->RangeMultiplier(10)
    ->Range(100'000, 10'000'000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
