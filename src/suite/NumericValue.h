#pragma once
// The numeric value of a text, as settings and typed numbers are read: blanks,
// tabs and line feeds are skipped anywhere, then an optional sign, digits, an
// optional fraction after "." and an optional exponent ("E" or "D") are read up
// to the first character that cannot continue the number. A text without a
// number is 0. Never depends on the locale.

#include <cstddef>
#include <optional>
#include <string_view>

namespace tilbo {

// The number at the start of a text or field in the form above; nothing when
// it is too large for a 64-bit float (a too small one is 0). When `end` is
// given it receives the position just after the number.
std::optional<double> ParseLenientNumber(std::string_view field, std::size_t* end = nullptr);

// The same as a plain value: a text too large gives infinity of its sign.
double NumericValue(std::string_view text);

// Whether the whole text (trimmed of blanks) is one number in that form, as a
// typed cell number must be.
bool IsNumericText(std::string_view text);

}  // namespace tilbo
