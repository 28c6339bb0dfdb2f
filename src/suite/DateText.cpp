#include "suite/DateText.h"

namespace tilbo {
namespace {

std::string FormatLocal(std::time_t when, const char* format) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, format, &local);
  return std::string(text, length);
}

}  // namespace

std::string GeneralDate(std::time_t when) { return FormatLocal(when, "%Y-%m-%d %H:%M:%S"); }

std::string CompactTimestamp(std::time_t when) { return FormatLocal(when, "%Y%m%d%H%M%S"); }

}  // namespace tilbo
