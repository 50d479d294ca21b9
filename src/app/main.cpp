#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return kvd507::app::runCommandLine(arguments, std::cout, std::cerr);
}
