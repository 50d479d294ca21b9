#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return kvd507::cli::runCommandLine(arguments, std::cout, std::cerr);
}
