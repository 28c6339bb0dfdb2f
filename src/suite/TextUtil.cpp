#include "suite/TextUtil.h"

#include <algorithm>

namespace tilbo {

std::string LTrim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string RTrim(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string Trim(std::string_view text) { return LTrim(RTrim(text)); }

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToUpperAscii(a) == ToUpperAscii(b);
}

int FindLast(std::string_view text, std::string_view find, int start) {
  const int length = static_cast<int>(text.size());
  if (start < 1 || start > length) start = length;
  if (find.empty() || find.size() > text.size()) return 0;
  // The occurrence must begin at or before `start` (1-based).
  const auto pos = text.rfind(find, static_cast<std::size_t>(start - 1));
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int LenTrim(std::string_view text) { return static_cast<int>(Trim(text).size()); }

std::string ReplaceChars(std::string_view text, std::string_view characters,
                         std::string_view replacement) {
  std::string out = Trim(text);
  for (char c : characters) {
    std::string next;
    next.reserve(out.size());
    for (char x : out) {
      if (x == c) {
        next.append(replacement);
      } else {
        next.push_back(x);
      }
    }
    out = std::move(next);
  }
  return out;
}

std::string Left(std::string_view text, std::size_t n) {
  return std::string(text.substr(0, std::min(n, text.size())));
}

}  // namespace tilbo
