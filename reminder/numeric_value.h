#pragma once

#include <string_view>

namespace reminder {

// The number at the start of a typed text, as a double: leading blanks skipped,
// then an optional sign, digits, an optional decimal point with digits and an
// optional exponent (e or E followed by digits). Reading stops at the first
// character that cannot continue the number; a text without one gives 0.
//
// Full-width digits, signs, point and exponent letter count as their ASCII
// twins, and the ideographic space as a blank, so that what a user typed with
// the input method on reads as the number he sees. Magnitudes beyond a double
// saturate to +/- infinity and below it to 0; nothing throws.
// Locale-independent, and linear in the length of the text.
double numericValue(std::u16string_view text);

}  // namespace reminder
