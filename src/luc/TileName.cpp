#include "luc/TileName.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace tilbo {
namespace {

int16_t ToInt16OrThrow(double whole) {
  if (!(whole >= -32768.0 && whole <= 32767.0)) throw std::overflow_error("whole degrees out of range");
  return static_cast<int16_t>(whole);
}

std::string ZeroPadded(int value, std::size_t width) {
  std::string text = std::to_string(value);
  while (text.size() < width) text.insert(0, "0");
  return text;
}

constexpr std::size_t kTileNameLength = 12;
constexpr std::string_view kTileNameExtension = ".LUC";
// 0-based positions of the parts of a tile name "L10540NW.LUC".
constexpr std::size_t kLongitudeDigitsAt = 1;
constexpr std::size_t kLongitudeDigitCount = 3;
constexpr std::size_t kLatitudeDigitsAt = 4;
constexpr std::size_t kLatitudeDigitCount = 2;
constexpr std::size_t kLatitudeLetterAt = 6;
constexpr std::size_t kLongitudeLetterAt = 7;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

std::optional<std::pair<double, double>> CornerFromTileName(std::string_view name) {
  if (name.size() != kTileNameLength || !name.ends_with(kTileNameExtension) || name[0] != 'L') {
    return std::nullopt;
  }
  for (std::size_t i = kLongitudeDigitsAt; i < kLatitudeLetterAt; ++i) {
    if (!IsDigit(name[i])) return std::nullopt;
  }
  const char latitudeLetter = name[kLatitudeLetterAt];
  const char longitudeLetter = name[kLongitudeLetterAt];
  if ((latitudeLetter != 'N' && latitudeLetter != 'S') ||
      (longitudeLetter != 'E' && longitudeLetter != 'W')) {
    return std::nullopt;
  }
  double longitude = DigitsValue(name.substr(kLongitudeDigitsAt, kLongitudeDigitCount));
  double latitude = DigitsValue(name.substr(kLatitudeDigitsAt, kLatitudeDigitCount));
  if (longitudeLetter == 'W') longitude = -longitude;
  if (latitudeLetter == 'S') latitude = -latitude;
  return std::make_pair(latitude, longitude);
}

int16_t FloorInt(double value) { return ToInt16OrThrow(std::floor(value)); }

int16_t CeilingInt(double value) {
  const double floor = std::floor(value);
  return ToInt16OrThrow(floor == value ? floor : floor + 1);
}

std::string LUCTileName(double latitude, double longitude) {
  std::string letters;
  if (latitude > 0 && longitude > 0) {
    letters = "NE";
  } else if (latitude > 0 && longitude < 0) {
    letters = "NW";
  } else if (latitude < 0 && longitude < 0) {
    letters = "SW";
  } else {
    letters = "SE";  // every other case, a latitude or longitude of exactly 0 included
  }
  const std::string lonDigits = ZeroPadded(std::abs(static_cast<int>(CeilingInt(longitude))), 3);
  const std::string latDigits = ZeroPadded(std::abs(static_cast<int>(FloorInt(latitude))), 2);
  return "L" + lonDigits + latDigits + letters + ".LUC";
}


}  // namespace tilbo
