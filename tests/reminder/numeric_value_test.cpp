#include "reminder/numeric_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace reminder {
namespace {

struct Case {
  std::u16string text;
  double expected;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << "text of " << c.text.size() << " units, expected " << c.expected;
}

class NumericValue : public ::testing::TestWithParam<Case> {};

TEST_P(NumericValue, ReadsTheLeadingNumber) {
  const double value = numericValue(GetParam().text);
  if (std::isinf(GetParam().expected)) {
    EXPECT_EQ(value, GetParam().expected);
  } else {
    EXPECT_DOUBLE_EQ(value, GetParam().expected);
  }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(PartialAndEmpty, NumericValue,
                         ::testing::Values(Case{u"", 0}, Case{u"09", 9}, Case{u" 7", 7},
                                           Case{u"7x", 7}, Case{u"x7", 0}, Case{u"30", 30},
                                           Case{u"1 2", 1}, Case{u"abc", 0}, Case{u"   ", 0},
                                           Case{u"\t\r\n 5", 5}, Case{u"\u30005", 5},
                                           Case{u"10時", 10}, Case{u"٣", 0}));

INSTANTIATE_TEST_SUITE_P(SignsAndFractions, NumericValue,
                         ::testing::Values(Case{u"-1", -1}, Case{u"+4", 4}, Case{u"1.5", 1.5},
                                           Case{u".5", 0.5}, Case{u"5.", 5}, Case{u"-.25", -0.25},
                                           Case{u"-", 0}, Case{u"+.", 0}, Case{u"--1", 0},
                                           Case{u"+-1", 0}, Case{u"1.2.3", 1.2}, Case{u"- 1", 0},
                                           Case{u"0.1", 0.1}));

INSTANTIATE_TEST_SUITE_P(Exponents, NumericValue,
                         ::testing::Values(Case{u"7e", 7}, Case{u"7e2", 700}, Case{u"7E2", 700},
                                           Case{u"7e+2", 700}, Case{u"7e-1", 0.7}, Case{u"7e+", 7},
                                           Case{u"7e-x", 7}, Case{u"7ee2", 7}, Case{u"1e0005", 1e5},
                                           Case{u"2.5e1x", 25}));

// What the input method types: full-width digits, signs, point and exponent.
INSTANTIATE_TEST_SUITE_P(FullWidth, NumericValue,
                         ::testing::Values(Case{u"１０", 10}, Case{u"\u3000３０", 30},
                                           Case{u"－１", -1}, Case{u"＋２", 2},
                                           Case{u"１．５", 1.5}, Case{u"１ｅ２", 100},
                                           Case{u"１Ｅ２", 100}, Case{u"1０", 10},
                                           Case{u"０９分", 9}));

// Texts that strtod or atof would misread, or read by the locale.
INSTANTIATE_TEST_SUITE_P(NotNumbers, NumericValue,
                         ::testing::Values(Case{u"inf", 0}, Case{u"-infinity", 0}, Case{u"nan", 0},
                                           Case{u"NAN(1)", 0}, Case{u"0x10", 0}, Case{u"0x1p3", 0},
                                           Case{u"1,5", 1}, Case{u"&H10", 0}));

// Beyond a double: saturate instead of failing.
INSTANTIATE_TEST_SUITE_P(
    OutOfRange, NumericValue,
    ::testing::Values(Case{u"1e400", kInf}, Case{u"-1e400", -kInf}, Case{u"1e-400", 0},
                      Case{u"-1e-400", 0}, Case{u"1e99999999999999999999", kInf},
                      Case{u"0.00001e-99999999999999999999", 0},
                      Case{u"1" + std::u16string(400, u'0'), kInf},
                      Case{u"0." + std::u16string(400, u'0') + u"1", 0},
                      Case{u"0." + std::u16string(400, u'0') + u"1e800", kInf},
                      Case{u"0." + std::u16string(400, u'0') + u"1e400", 1e-1}));

TEST(NumericValueLongText, TenMillionDigitsAreReadWithoutCrashing) {
  std::u16string digits(10'000'000, u'9');
  EXPECT_EQ(numericValue(digits), kInf);
  digits.assign(10'000'000, u'0');
  digits.back() = u'7';
  EXPECT_DOUBLE_EQ(numericValue(digits), 7);
  EXPECT_DOUBLE_EQ(numericValue(u"12" + std::u16string(10'000'000, u'x')), 12);
}

}  // namespace
}  // namespace reminder
