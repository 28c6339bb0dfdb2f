#include <iostream>

#include "luctool/Luctool.h"

int main(int argc, char** argv) { return tilbo::luctool::RunLuctool(argc, argv, std::cout, std::cerr); }
