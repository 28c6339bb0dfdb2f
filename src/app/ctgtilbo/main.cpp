#include <iostream>

#include "suite/Version.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::cerr << tilbo::kExecutableName << ' ' << tilbo::kVersionText << '\n';
  return 0;
}
