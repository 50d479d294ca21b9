#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "gui/WindowMain.h"
#include "runs/ProgramFolder.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  // No subcommand: the window, on the executable's folder or the one --folder names.
  if (arguments.empty()) {
    return kvd507::gui::runWindow(argc, argv, kvd507::runs::executableFolder());
  }
  if (arguments.size() == 2 && arguments[0] == "--folder") {
    return kvd507::gui::runWindow(argc, argv, arguments[1]);
  }
  return kvd507::cli::runCommandLine(arguments, std::cout, std::cerr);
}
