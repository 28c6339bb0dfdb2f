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

// RoundHalfEven held to the integer type's range: a setting written beyond it
// means as much as the type can say, and one that is not a number means 0.
template <typename Int>
Int SaturateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (const std::optional<Int> fits = RoundToInt<Int>(value)) return *fits;
  return value < 0 ? std::numeric_limits<Int>::min() : std::numeric_limits<Int>::max();
}

}  // namespace tilbo
