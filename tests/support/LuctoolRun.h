#pragma once
// Runs the whole luctool command line in-process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "luctool/Luctool.h"

namespace tilbo::testing {

struct LuctoolResult {
  int status;
  std::string out;
  std::string err;
};

// `args` without the program name.
inline LuctoolResult RunTool(std::vector<std::string> args) {
  args.insert(args.begin(), "luctool");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = luctool::RunLuctool(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace tilbo::testing
