// The window program: `kvd507-window [--folder DIR]`, which `kvd507` without a subcommand
// becomes.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "errors/LastWords.h"
#include "gui/WindowMain.h"
#include "runs/ProgramFolder.h"

int main(int argc, char** argv) {
  try {
    std::optional<std::filesystem::path> chosen;
    if (argc == 3 && std::string(argv[1]) == "--folder") {
      chosen = argv[2];
    } else if (argc != 1) {
      std::cerr << "Naudojimas: kvd507-window [--folder APLANKAS]\n";
      return 2;  // as the commands answer a wrong usage
    }
    return kvd507::gui::runWindow(
        argc, argv, kvd507::runs::programFolder(chosen, kvd507::runs::Program::kWindow));
  } catch (...) {
    kvd507::printUncaughtError(std::cerr);
    return 1;
  }
}
