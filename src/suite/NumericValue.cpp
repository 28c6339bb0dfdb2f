#include "suite/NumericValue.h"

#include <charconv>
#include <cmath>

namespace tilbo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

}  // namespace

double NumericValue(std::string_view text) {
  std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string_view::npos) return 0;
  const std::size_t start = at;
  if (text[at] == '+' || text[at] == '-') ++at;
  const std::size_t intEnd = SkipDigits(text, at);
  std::size_t end = intEnd;
  bool anyDigit = intEnd > at;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fracEnd = SkipDigits(text, end + 1);
    anyDigit = anyDigit || fracEnd > end + 1;
    end = fracEnd;
  }
  if (!anyDigit) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exp = end + 1;
    if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
    const std::size_t expEnd = SkipDigits(text, exp);
    if (expEnd > exp) end = expEnd;
  }
  // from_chars takes no leading "+"; it reads the same digits either way.
  std::string_view number = text.substr(start, end - start);
  const bool negative = number.front() == '-';
  if (number.front() == '+' || number.front() == '-') number.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: infinity, or zero for a tiny value.
    const auto exponent = number.find_first_of("eE");
    const bool tiny = exponent != std::string_view::npos && exponent + 1 < number.size() &&
                      number[exponent + 1] == '-';
    value = tiny ? 0.0 : HUGE_VAL;
  }
  return negative ? -value : value;
}

}  // namespace tilbo
