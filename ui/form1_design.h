#pragma once

#include <string_view>

// The form's design, written once: both windows build from this table.
// Places and sizes are in twips (1440 to the inch, 15 to the pixel at 96 DPI),
// font sizes in hundredths of a point.
namespace form1 {

enum class Kind {
  kNumberBox,  // A one-line box for a number: no input method composes in it.
  kNoteBox,    // A one-line box for any text.
  kLabel,      // Text only; never takes the focus.
  kButton,     // Sets the reminder; also pressed by Enter in any box.
};

struct Control {
  const char* name;  // As the code calls it.
  int id;            // Its number among the window's controls.
  Kind kind;
  int left, top, width, height;
  const char16_t* text;         // Its initial text or caption.
  int centipoints;              // 0: the window's default font; else kGothic bold at this size.
  const char16_t* accessible;   // What a screen reader calls it; null: its text.
  const char16_t* description;  // What it takes, for a screen reader; may be null.
  int tabPosition;              // Its place in the Tab order (a label's is skipped).
};

inline constexpr char16_t kCaption[] = u"タイマセット";
inline constexpr int kClientWidth = 2355;
inline constexpr int kClientHeight = 1035;
inline constexpr int kTwipsPerInch = 1440;
// The Gothic of the design's bold boxes and colon, in the Japanese character set.
inline constexpr char16_t kGothic[] = u"ＭＳ Ｐゴシック";

// In screen order, left to right and then down: the order screen readers read
// them in. The colon's cell overlaps each number box by a pixel; it draws its
// glyph alone, clear of the boxes.
inline constexpr Control kControls[] = {
    {"t1", 102, Kind::kNumberBox, 0, 120, 495, 375, u"", 1200, u"時", u"時（0〜23）", 1},
    {"Label1", 104, Kind::kLabel, 480, 240, 255, 255, u"：", 1125, nullptr, nullptr, 3},
    {"t2", 103, Kind::kNumberBox, 720, 120, 495, 375, u"", 1200, u"分", u"分（0〜59）", 2},
    {"Command1", 101, Kind::kButton, 1320, 120, 975, 375, u"セット", 0, nullptr, nullptr, 0},
    {"Text3", 105, Kind::kNoteBox, 0, 600, 2295, 375, u"", 0, u"メモ", nullptr, 4},
};

// The control of that name, found when compiled.
constexpr const Control& named(std::string_view name) {
  for (const Control& control : kControls) {
    if (name == control.name) return control;
  }
  throw "no such control";
}

}  // namespace form1
