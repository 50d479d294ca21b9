#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "errors/Error.h"
#include "gui/WindowMain.h"
#include "runs/ProgramFolder.h"

int main(int argc, char** argv) {
  try {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // No subcommand: the window, on the executable's folder or the one --folder names.
    if (arguments.empty()) {
      return kvd507::gui::runWindow(argc, argv, kvd507::runs::executableFolder());
    }
    if (arguments.size() == 2 && arguments[0] == "--folder") {
      return kvd507::gui::runWindow(argc, argv, arguments[1]);
    }
    return kvd507::cli::runCommandLine(arguments, std::cout, std::cerr);
  } catch (...) {
    // The commands report their own failures; this is for what slipped past them, so that the
    // program never ends in an abort with an English message.
    try {
      const kvd507::Error error = kvd507::currentError();
      std::cerr << "kvd507: " << error.cause() << '\n';
      if (!error.detail().empty()) std::cerr << "kvd507: " << error.detail() << '\n';
    } catch (...) {
      std::cerr << "kvd507: kompiuteriui nepakako atminties\n";
    }
    return kvd507::cli::kExitFailure;
  }
}
