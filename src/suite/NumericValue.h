#pragma once
// The numeric value of a text, as settings and typed numbers are read: blanks,
// tabs and line feeds are skipped anywhere, then an optional sign, digits, an
// optional fraction after "." and an optional exponent ("E" or "D") are read up
// to the first character that cannot continue the number. A text without a
// number is 0. Never depends on the locale.

#include <string_view>

namespace tilbo {

double NumericValue(std::string_view text);

// Whether the whole text (trimmed of blanks) is one number in that form, as a
// typed cell number must be.
bool IsNumericText(std::string_view text);

}  // namespace tilbo
