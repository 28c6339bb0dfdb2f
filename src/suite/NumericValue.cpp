#include "suite/NumericValue.h"

#include <charconv>
#include <cmath>
#include <string>

#include "suite/TextUtil.h"

namespace tilbo {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the number at the start of `text` (skipped characters removed) into
// canonical form for from_chars; returns how many characters it used.
std::size_t ScanNumber(const std::string& s, std::string& canonical) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') canonical.push_back('-');
    ++i;
  }
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) canonical.push_back(s[i++]), ++digits;
  if (i < s.size() && s[i] == '.') {
    canonical.push_back('.');
    ++i;
    while (i < s.size() && IsDigit(s[i])) canonical.push_back(s[i++]), ++digits;
  }
  if (digits == 0) {
    canonical.clear();
    return 0;
  }
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) exponent.push_back(s[j++]);
      canonical += exponent;
      i = j;
    }
  }
  return i;
}

std::string WithoutSkipped(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (!IsSkipped(c)) s.push_back(c);
  }
  return s;
}

double Convert(const std::string& canonical) {
  double value = 0;
  const auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the sign of infinity or zero.
    const bool negative = !canonical.empty() && canonical[0] == '-';
    const auto e = canonical.find('e');
    const bool hugeExponent = e != std::string::npos && canonical[e + 1] != '-';
    if (hugeExponent) return negative ? -HUGE_VAL : HUGE_VAL;
    return 0;
  }
  return value;
}

}  // namespace

double NumericValue(std::string_view text) {
  std::string canonical;
  ScanNumber(WithoutSkipped(text), canonical);
  return canonical.empty() ? 0.0 : Convert(canonical);
}

bool IsNumericText(std::string_view text) {
  const std::string s = Trim(text);
  std::string canonical;
  return !s.empty() && ScanNumber(s, canonical) == s.size();
}

}  // namespace tilbo
