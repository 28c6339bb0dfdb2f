#pragma once
// Reading back the technical-support log in tests.

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tilbo::testing {

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The log lines written by WriteLog, without the header and the blank spacer lines.
inline std::vector<std::string> LoggedTexts(const std::string& logPath) {
  std::vector<std::string> texts;
  const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:  (.*)  \(ctgtilbo [0-9_.]+\))");
  for (const std::string& line : Lines(ReadWholeFile(logPath))) {
    std::smatch m;
    if (std::regex_match(line, m, stamped)) texts.push_back(m[1]);
  }
  return texts;
}

}  // namespace tilbo::testing
