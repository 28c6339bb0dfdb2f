#include "suite/NumericValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "suite/TextUtil.h"

namespace tilbo {
namespace {

// An exponent this large in magnitude is far outside the range of a double;
// longer exponents are clamped to it.
constexpr int kExponentClamp = 100000;
// Up to this many digits fit a 64-bit unsigned integer whatever they are.
constexpr int kExactIntegerDigits = 19;

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(int c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// Walks a field, hiding the characters the number parse skips.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view field) : field_(field) {}
  // The next significant character, or -1 at the end.
  int Peek() {
    while (pos_ < field_.size() && IsSkipped(field_[pos_])) ++pos_;
    return pos_ < field_.size() ? static_cast<unsigned char>(field_[pos_]) : -1;
  }
  void Advance() { ++pos_; }
  std::size_t Position() const { return pos_; }
  void Rewind(std::size_t pos) { pos_ = pos; }

 private:
  std::string_view field_;
  std::size_t pos_ = 0;
};

// The slow path of the number parse, for fractions, exponents and very long
// digit strings: the number's characters are gathered without the skipped
// ones and converted with from_chars, which ignores the locale.
std::optional<double> ParseGeneralNumber(std::string_view field, std::size_t* end) {
  FieldCursor in(field);
  struct ReportEnd {
    FieldCursor& in;
    std::size_t* end;
    ~ReportEnd() {
      if (end != nullptr) *end = in.Position();
    }
  } report{in, end};
  std::string text;
  if (in.Peek() == '+' || in.Peek() == '-') {
    if (in.Peek() == '-') text.push_back('-');
    in.Advance();
  }
  // Decimal magnitude of the mantissa's first significant digit, to tell an
  // overflow from an underflow when from_chars reports the value out of range.
  int digitsBeforePoint = 0;
  int zerosAfterPoint = 0;
  bool significant = false;
  bool anyDigit = false;
  while (IsDigit(in.Peek())) {
    const char d = static_cast<char>(in.Peek());
    significant = significant || d != '0';
    if (significant) ++digitsBeforePoint;
    text.push_back(d);
    anyDigit = true;
    in.Advance();
  }
  if (in.Peek() == '.') {
    text.push_back('.');
    in.Advance();
    while (IsDigit(in.Peek())) {
      const char d = static_cast<char>(in.Peek());
      if (!significant && d == '0') ++zerosAfterPoint;
      significant = significant || d != '0';
      text.push_back(d);
      anyDigit = true;
      in.Advance();
    }
  }
  if (!anyDigit) return 0.0;

  int exponent = 0;
  if (IsExponentMark(in.Peek())) {
    const std::size_t mark = in.Position();
    in.Advance();
    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
      negative = in.Peek() == '-';
      in.Advance();
    }
    if (IsDigit(in.Peek())) {
      while (IsDigit(in.Peek())) {
        exponent = std::min(exponent * 10 + (in.Peek() - '0'), kExponentClamp);
        in.Advance();
      }
      if (negative) exponent = -exponent;
      text += 'e' + std::to_string(exponent);
    } else {
      in.Rewind(mark);  // "1E" or "1E+" without digits: the number ends before the mark
    }
  }

  double value = 0;
  const auto [last, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (!significant) return 0.0;
    const int magnitude = digitsBeforePoint > 0 ? digitsBeforePoint : -zerosAfterPoint;
    if (magnitude + exponent > 0) return std::nullopt;  // too large
    return 0.0;                                          // too small: underflows to zero
  }
  if (ec != std::errc{} || last != text.data() + text.size()) return 0.0;
  return value == 0 ? 0.0 : value;
}

}  // namespace

std::optional<double> ParseLenientNumber(std::string_view field, std::size_t* end) {
  // Fast path for the common field: blanks, an optional sign and digits.
  FieldCursor in(field);
  bool negative = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    in.Advance();
  }
  uint64_t whole = 0;
  int digits = 0;
  while (IsDigit(in.Peek()) && digits < kExactIntegerDigits) {
    whole = whole * 10 + static_cast<uint64_t>(in.Peek() - '0');
    ++digits;
    in.Advance();
  }
  const int next = in.Peek();
  if (IsDigit(next) || next == '.' || IsExponentMark(next)) return ParseGeneralNumber(field, end);
  if (end != nullptr) *end = in.Position();
  if (whole == 0) return 0.0;
  const double value = static_cast<double>(whole);
  return negative ? -value : value;
}

double NumericValue(std::string_view text) {
  if (const std::optional<double> value = ParseLenientNumber(text)) return *value;
  // Too large for a double: infinity of the number's sign.
  FieldCursor in(text);
  return in.Peek() == '-' ? -HUGE_VAL : HUGE_VAL;
}

bool IsNumericText(std::string_view text) {
  const std::string trimmed = Trim(text);
  // Skipped characters inside the number would join its pieces ("1 2" is 12).
  if (trimmed.empty() || trimmed.find_first_of(" \t\n") != std::string::npos) return false;
  std::size_t end = 0;
  ParseLenientNumber(trimmed, &end);
  FieldCursor in(trimmed);
  const bool hasDigit = trimmed.find_first_of("0123456789") != std::string::npos;
  return hasDigit && end == trimmed.size() && in.Peek() != -1;
}

}  // namespace tilbo
