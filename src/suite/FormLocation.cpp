#include "suite/FormLocation.h"

#include <charconv>

#include "suite/IniAccess.h"
#include "suite/NumericValue.h"
#include "suite/Rounding.h"
#include "suite/SuiteConfig.h"
#include "suite/TextUtil.h"

namespace tilbo {
namespace {

constexpr const char* kSection = "CONFIG";
constexpr double kTenth = 10.0;

std::string KeyBase(const WindowPlacement& window, const std::string& prefix) {
  return Trim(window.name + " " + prefix);
}

// Positions are stored with "." as the decimal mark, whatever the locale.
std::string PositionText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

int ReadPosition(const std::string& key, double fallback, const std::string& file) {
  const double value = NumericValue(ReadINI(kSection, key, PositionText(fallback), file));
  return RoundToInt<int>(value).value_or(RoundToInt<int>(fallback).value_or(0));
}

}  // namespace

void SaveFormLoc(const WindowPlacement& window, const std::string& prefix, std::string file) {
  if (window.minimized || window.maximized) return;
  if (LenTrim(file) < 1) file = GetDefaultsIniPath();
  const std::string key = KeyBase(window, prefix);
  WriteINI(kSection, key + "-X", std::to_string(window.left), file);
  WriteINI(kSection, key + "-Y", std::to_string(window.top), file);
}

void RestoreFormLoc(WindowPlacement& window, double x, double y, const std::string& prefix, std::string file,
                    const ScreenGeometry& screen) {
  if (LenTrim(file) < 1) file = GetDefaultsIniPath();
  const std::string key = KeyBase(window, prefix);
  const double defaultLeft = x < 1 ? window.left : x;
  const double defaultTop = y < 1 ? window.top : y;
  window.left = ReadPosition(key + "-X", defaultLeft, file);
  window.top = ReadPosition(key + "-Y", defaultTop, file);

  if (window.left < 0) window.left = RoundToInt<int>(screen.width / kTenth).value_or(0);
  if (window.top < 0) window.top = RoundToInt<int>(screen.height / kTenth).value_or(0);
  if (window.left + window.width / kTenth > screen.width || window.top + window.height / kTenth > screen.height) {
    setFormCenter(window, screen);
  }
}

void setFormCenter(WindowPlacement& window, const ScreenGeometry& screen) {
  window.left = RoundToInt<int>((screen.width - window.width) / 2.0).value_or(0);
  window.top = RoundToInt<int>((screen.height - window.height) / 2.0).value_or(0);
}

}  // namespace tilbo
