#include "coords/CoordText.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "coords/SysUnits.h"
#include "suite/ActiveProcedures.h"
#include "suite/ErrorReport.h"
#include "suite/NumberFormat.h"
#include "suite/TechLog.h"

namespace tilbo {
namespace {

constexpr const char* kLatitudeKind = "LT";
constexpr const char* kDecimalDegrees = "DDD.dddd";
constexpr const char* kDecimalMinutes = "DDD MM.mmm";
constexpr int32_t kOverflowNumber = 6;
constexpr const char* kOverflowText = "Overflow";
constexpr int32_t kOutOfMemoryNumber = 7;
constexpr int32_t kInternalErrorNumber = 51;
constexpr double kHundredthsPerMinute = 6000;  // seconds in hundredths

// A failure of the text conversion, with the number the error report shows.
struct ConversionFailure {
  int32_t number;
  const char* description;
};

// Degrees and minutes are 16-bit counts.
int16_t ToInt16(double whole) {
  if (!(whole >= std::numeric_limits<int16_t>::min() && whole <= std::numeric_limits<int16_t>::max())) {
    throw ConversionFailure{kOverflowNumber, kOverflowText};
  }
  return static_cast<int16_t>(whole);
}

int16_t Increment(int16_t count) { return ToInt16(static_cast<double>(count) + 1); }

std::string HemisphereLetter(double value, const std::string& kind) {
  if (kind == kLatitudeKind) return value < 0 ? "S" : "N";
  return value > 0 ? "E" : "W";
}

std::string DegreeField(int16_t degrees) { return FormatPicture(degrees, degrees > 99 ? "#00" : " 00"); }

std::string Format(double value, const std::string& kind) {
  const double a = std::fabs(value);
  const int16_t wholeDegrees = ToInt16(std::trunc(a));
  const double decimalMinutes = (a - wholeDegrees) * 60;
  int16_t minutes = ToInt16(std::trunc(decimalMinutes));
  // The seconds are single precision, as the suite's other programs keep them,
  // so the rounding carry below falls where theirs does.
  float seconds = static_cast<float>(((a - wholeDegrees) - minutes / 60.0) * 3600);
  const auto hundredths = [&seconds] { return std::floor(static_cast<double>(seconds * 100.0F) + 0.5); };
  while (hundredths() >= kHundredthsPerMinute) {
    seconds -= 60;
    minutes = Increment(minutes);
  }
  int16_t degrees = wholeDegrees;
  while (minutes >= 60) {
    minutes = static_cast<int16_t>(minutes - 60);
    degrees = Increment(degrees);
  }

  const std::string& format = CoordinateFormat();
  const std::string letter = HemisphereLetter(value, kind);
  if (format == kDecimalDegrees) return FormatPicture(value, "####.000000000");
  if (format == kDecimalMinutes) {
    // Degrees and minutes stay one pair: the minutes carry into the degrees
    // only when they round to 60 in the five decimals shown.
    double shownMinutes = decimalMinutes;
    int16_t shownDegrees = wholeDegrees;
    if (FormatPicture(shownMinutes, "00.00000").rfind("60", 0) == 0) {
      shownMinutes -= 60;
      shownDegrees = Increment(shownDegrees);
    }
    return DegreeField(shownDegrees) + " " + FormatPicture(shownMinutes, "00.00000") + " " + letter;
  }
  return DegreeField(degrees) + " " + FormatPicture(minutes, "00") + " " + FormatPicture(seconds, "#0.00") + " " +
         letter;
}

}  // namespace

std::string DecDeg_to_String(double value, const std::string& kind) {
  ActiveProcedure trace(kProcDecDegToString, 0);
  try {
    return Format(value, kind);
  } catch (const ConversionFailure& failure) {
    ReportError(failure.number, failure.description, "");
  } catch (const std::bad_alloc&) {
    ReportError(kOutOfMemoryNumber, "Out of memory", "");
  } catch (const std::exception& e) {
    ReportError(kInternalErrorNumber, e.what(), "");
  }
  std::string line = "DecDeg_to_String Error: " + NumberText(value);
  WriteLog(line, true);
  return {};
}

}  // namespace tilbo
