#include <iostream>

#include "ctgtilbo/Ctgtilbo.h"

int main(int argc, char** argv) {
  return tilbo::RunCtgtilbo(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr,
                            tilbo::Environment::OfProcess());
}
