#pragma once
<<<<<<< HEAD
// The numeric value of a text, as settings and typed numbers are read: blanks,
// tabs and line feeds are skipped anywhere, then an optional sign, digits, an
// optional fraction after "." and an optional exponent ("E" or "D") are read up
// to the first character that cannot continue the number. A text without a
// number is 0. Never depends on the locale.
=======
// Numbers typed into settings files: the leading number of a text, whatever
// the locale ("." is the decimal mark).
>>>>>>> suite

#include <string_view>

namespace tilbo {

<<<<<<< HEAD
double NumericValue(std::string_view text);

// Whether the whole text (trimmed of blanks) is one number in that form, as a
// typed cell number must be.
bool IsNumericText(std::string_view text);

=======
// The number at the start of the text after leading blanks: an optional sign,
// digits with an optional "." fraction and an optional exponent ("E" or "e").
// Whatever follows is ignored; a text without a leading number gives 0.
// Examples: "12" -> 12, " -3.5 px" -> -3.5, "1e3" -> 1000, "abc" -> 0.
double NumericValue(std::string_view text);

>>>>>>> suite
}  // namespace tilbo
