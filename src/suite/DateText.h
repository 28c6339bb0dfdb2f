#pragma once
// Dates and times as text, in local time.

#include <ctime>
#include <string>

namespace tilbo {

// The general date format: "YYYY-MM-DD HH:MM:SS".
std::string GeneralDate(std::time_t when);
// "YYYYMMDDhhmmss", for names stamped with the time.
std::string CompactTimestamp(std::time_t when);

}  // namespace tilbo
