#pragma once
// Text helpers used throughout the program. Texts are byte strings; "blank"
// means the space character only, as in the suite's other programs.

#include <string>
#include <string_view>

namespace tilbo {

std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);

// Upper case of the ASCII letters; other bytes unchanged.
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The 1-based position of the last occurrence of `find` in `text` that begins
// at or before `start` (start below 1 or beyond the text means the text's
// length); exact comparison; 0 when there is none.
int FindLast(std::string_view text, std::string_view find, int start = -1);

// Length of the text after trimming: callers test for a blank value with
// LenTrim(x) < 1.
int LenTrim(std::string_view text);

// Trims the text, then replaces every occurrence of each character of
// `characters` (in turn) by `replacement`.
std::string ReplaceChars(std::string_view text, std::string_view characters,
                         std::string_view replacement);

// The first n bytes (the whole text when shorter).
std::string Left(std::string_view text, std::size_t n);

}  // namespace tilbo
