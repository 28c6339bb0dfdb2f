#pragma once
// The suite's display-unit settings (section "System Units" of the
// user-defaults INI). This program uses one of them: the coordinate format.

#include <string>

namespace tilbo {

inline constexpr const char* kSystemUnitsSection = "System Units";
inline constexpr const char* kCoordFormatKey = "Coord Fmt";
inline constexpr const char* kDefaultCoordinateFormat = "DDD MM SS.ss";

// Loads the settings at start-up: the coordinate format from "Coord Fmt",
// "DDD MM SS.ss" when missing, kept as read without checking.
void getSysUnits();

// The coordinate format in use ("DDD.dddd", "DDD MM.mmm", "DDD MM SS.ss", or
// whatever the file held); "DDD MM SS.ss" before getSysUnits runs.
const std::string& CoordinateFormat();
void SetCoordinateFormatForTesting(const std::string& format);

}  // namespace tilbo
