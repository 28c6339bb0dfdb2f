#pragma once
// Latitudes and longitudes as text, in the coordinate format the user chose
// for the whole suite (CoordinateFormat(), SysUnits.h):
// - "DDD.dddd": signed decimal degrees, nine decimals ("-105.500000000");
// - "DDD MM.mmm": degrees and decimal minutes with a hemisphere letter
//   (" 45 30.00000 N");
// - anything else: degrees, minutes and seconds with a hemisphere letter
//   ("105 15 0.00 W", " 40 06 0.00 N").
// The degree field is always three characters: a leading blank below 100.

#include <string>

namespace tilbo {

// `value` in degrees, negative south and west; `kind` "LT" for a latitude,
// anything else ("LN") for a longitude. A value whose whole degrees do not fit
// a 16-bit integer (or is not a number) is reported through ReportError and
// the technical-support log, and gives "".
std::string DecDeg_to_String(double value, const std::string& kind);

}  // namespace tilbo
