#include "numeric_value.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace reminder {
namespace {

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000';
}

// The ASCII twin of a character that can be part of a number, or 0.
char numberChar(char16_t c) {
  if (c >= u'0' && c <= u'9') return static_cast<char>(c);
  if (c >= u'\uFF10' && c <= u'\uFF19') return static_cast<char>('0' + (c - u'\uFF10'));
  switch (c) {
    case u'+':
    case u'\uFF0B':
      return '+';
    case u'-':
    case u'\uFF0D':
      return '-';
    case u'.':
    case u'\uFF0E':
      return '.';
    case u'e':
    case u'E':
    case u'\uFF45':
    case u'\uFF25':
      return 'e';
    default:
      return 0;
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// For a number that does not fit a double: true when it is too large, false
// when too small. Decided by the position of its first significant digit plus
// its exponent, which needs no arithmetic on the digits themselves.
bool tooLarge(std::string_view ascii) {
  const std::size_t ePos = std::min(ascii.find('e'), ascii.size());
  const std::string_view mantissa = ascii.substr(0, ePos);
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return false;
  // Decimal position of the first significant digit: 1 for units, 0 for tenths.
  long long order = first < point ? static_cast<long long>(point - first)
                                  : -static_cast<long long>(first - point - 1);
  long long exponent = 0;
  bool negativeExponent = false;
  for (char c : ascii.substr(std::min(ePos + 1, ascii.size()))) {
    if (c == '-') negativeExponent = true;
    if (isDigit(c) && exponent < 1'000'000'000'000LL) exponent = exponent * 10 + (c - '0');
  }
  order += negativeExponent ? -exponent : exponent;
  return order > 0;
}

// Scans the number and copies it as ASCII, so that std::from_chars (which
// knows neither full-width forms nor a leading '+') can read it.
class Scanner {
 public:
  explicit Scanner(std::u16string_view text) : text_(text) {}

  char peek(std::size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? numberChar(text_[pos_ + ahead]) : 0;
  }
  void skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
  }
  void take() {
    out_.push_back(peek());
    ++pos_;
  }
  std::size_t takeDigits() {
    const std::size_t start = pos_;
    while (isDigit(peek())) take();
    return pos_ - start;
  }
  std::string& out() { return out_; }

 private:
  std::u16string_view text_;
  std::size_t pos_ = 0;
  std::string out_;
};

}  // namespace

double numericValue(std::u16string_view text) {
  Scanner scan(text);
  scan.skipBlanks();

  bool negative = false;
  if (scan.peek() == '+' || scan.peek() == '-') {
    negative = scan.peek() == '-';
    scan.take();
    scan.out().clear();  // from_chars takes no sign; it is applied at the end.
  }

  std::size_t digits = scan.takeDigits();
  if (scan.peek() == '.') {
    scan.take();
    digits += scan.takeDigits();
  }
  if (digits == 0) return 0.0;

  // The exponent counts only when digits follow its letter: "7e" is 7.
  const char afterE = scan.peek(1);
  if (scan.peek() == 'e' &&
      (isDigit(afterE) || ((afterE == '+' || afterE == '-') && isDigit(scan.peek(2))))) {
    scan.take();
    if (!isDigit(scan.peek())) scan.take();
    scan.takeDigits();
  }

  const std::string& ascii = scan.out();
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    value = tooLarge(ascii) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace reminder
