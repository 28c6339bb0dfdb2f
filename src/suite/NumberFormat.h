#pragma once
// Number output. Picture formats ("0.000", "###,###", "#0.00", " 00", ...)
// write the decimal mark and thousands separator of the process's numeric
// locale (LC_NUMERIC / LANG); number input never depends on the locale.

#include <string>
#include <string_view>

namespace tilbo {

struct NumberSeparators {
  std::string decimal = ".";
  std::string thousands = ",";
};

// The separators of the numeric locale named by the environment; "," as the
// thousands separator where the locale has none (C/POSIX). Read once.
const NumberSeparators& CurrentSeparators();
// Tests pin the separators; passing nullptr returns to the environment's.
void OverrideSeparatorsForTesting(const NumberSeparators* separators);

// Formats a value with a picture: optional leading literal characters, then
// digit placeholders ("0" always written, "#" only when significant), "," in
// the integer part for thousands grouping, "." then decimal placeholders.
// Examples: FormatPicture(0.25, "####.000000000") == ".250000000",
// FormatPicture(0, "###") == "", FormatPicture(5, " 00") == " 05".
std::string FormatPicture(double value, std::string_view picture);
std::string FormatPicture(double value, std::string_view picture, const NumberSeparators& seps);

// The default number-to-text conversion: plain decimal, no leading blank, no
// trailing zeros, up to 15 significant digits ("45", "-70.25", "1.5E+20").
std::string NumberText(double value);

}  // namespace tilbo
