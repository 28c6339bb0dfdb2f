#pragma once
// Whole numbers from computed values: to the nearest, halves to the even
// neighbour, unless a floor or ceiling is named.

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tilbo {

// Nearest whole number, ties to even (the default floating-point rounding mode).
inline double RoundHalfEven(double value) { return std::nearbyint(value); }

// RoundHalfEven converted to the integer type, or nothing when the value is
// not a number or does not fit.
template <typename Int>
std::optional<Int> RoundToInt(double value) {
  const double r = RoundHalfEven(value);
  if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    return std::nullopt;
  }
  return static_cast<Int>(r);
}

}  // namespace tilbo
