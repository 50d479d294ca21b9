// The window program: `kvd507-window [--folder DIR]`, which `kvd507` without a subcommand
// becomes.
#include <iostream>
#include <string>

#include "errors/LastWords.h"
#include "files/EndingSignals.h"
#include "gui/WindowMain.h"
#include "runs/ProgramFolder.h"

int main(int argc, char** argv) {
  kvd507::files::prepareSignalsForWriting();
  try {
    if (argc == 3 && std::string(argv[1]) == "--folder") {
      return kvd507::gui::runWindow(argc, argv, argv[2]);
    }
    if (argc != 1) {
      std::cerr << "Naudojimas: kvd507-window [--folder APLANKAS]\n";
      return 2;  // as the commands answer a wrong usage
    }
    return kvd507::gui::runWindow(argc, argv, kvd507::runs::executableFolder());
  } catch (...) {
    kvd507::printUncaughtError(std::cerr);
    return 1;
  }
}
