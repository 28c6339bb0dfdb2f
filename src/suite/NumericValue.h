#pragma once
// Numbers typed into settings files: the leading number of a text, whatever
// the locale ("." is the decimal mark).

#include <string_view>

namespace tilbo {

// The number at the start of the text after leading blanks: an optional sign,
// digits with an optional "." fraction and an optional exponent ("E" or "e").
// Whatever follows is ignored; a text without a leading number gives 0.
// Examples: "12" -> 12, " -3.5 px" -> -3.5, "1e3" -> 1000, "abc" -> 0.
double NumericValue(std::string_view text);

}  // namespace tilbo
