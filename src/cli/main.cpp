#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ShowCommand.h"
#include "cli/WindowLauncher.h"
#include "errors/UncaughtError.h"
#include "files/RemovedOnSignal.h"

int main(int argc, char** argv) {
  kvd507::files::prepareSignalsForWriting();
  try {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // No subcommand: the window, on the program folder or the one --folder names.
    if (arguments.empty() || (arguments.size() == 2 && arguments[0] == "--folder")) {
      kvd507::cli::startWindow(argv);
    }
    // A declaration alone, as the desktop passes it: the viewer.
    if (arguments.size() == 1 && kvd507::cli::isDeclarationToView(arguments[0])) {
      kvd507::cli::startWindowWith({"--view", arguments[0]});
    }
    return kvd507::cli::runCommandLine(arguments, std::cout, std::cerr);
  } catch (...) {
    // The commands report their own failures; this is for what slipped past them.
    kvd507::printUncaughtError(std::cerr);
    return kvd507::cli::kExitFailure;
  }
}
