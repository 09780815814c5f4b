#include "reminder/numeric_value.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace reminder {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

using Case = std::pair<std::u16string, double>;

TEST(NumericValue, ReadsTheLeadingNumber) {
  for (const auto& [text, expected] :
       {Case{u"", 0}, Case{u"09", 9}, Case{u"\t\r\n 5", 5}, Case{u"7x", 7}, Case{u"x7", 0},
        Case{u"1.2.3", 1.2}, Case{u"1,5", 1}, Case{u"-1", -1}, Case{u"+4", 4}, Case{u".5", 0.5},
        Case{u"5.", 5}, Case{u"+.", 0}, Case{u"--1", 0}, Case{u"7e", 7}, Case{u"7E2", 700},
        Case{u"7e-1", 0.7}, Case{u"7ee2", 7},
        // What the input method types: full-width digits, signs, point, blank.
        Case{u"\u3000３０", 30}, Case{u"－１", -1}, Case{u"１．５", 1.5}, Case{u"１ｅ２", 100},
        // What strtod would misread, or read by the locale; beyond a double.
        Case{u"inf", 0}, Case{u"nan", 0}, Case{u"0x10", 0}, Case{u"1e400", kInf},
        Case{u"-1e400", -kInf}, Case{u"1e-400", 0}, Case{u"1e99999999999999999999", kInf},
        Case{u"1" + std::u16string(400, u'0'), kInf},
        Case{u"0." + std::u16string(400, u'0') + u"1e400", 0.1}}) {
    EXPECT_EQ(numericValue(text), expected) << "text of " << text.size() << " units";
  }
}

}  // namespace
}  // namespace reminder
