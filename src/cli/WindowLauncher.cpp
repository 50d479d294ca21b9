#include "cli/WindowLauncher.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <system_error>

#include "files/IoError.h"
#include "runs/ProgramFolder.h"

namespace kvd507::cli {
namespace {

// The window program is missing or cannot be run: said in Lithuanian with what to do, without
// the system's English words.
[[noreturn]] void cannotStart(const std::filesystem::path& program, int error) {
  const files::IoError failure("start the window", std::error_code(error, std::generic_category()),
                               program);
  std::cerr << "kvd507: nepavyko atverti lango: " << failure.cause(program.string()) << '\n'
            << "kvd507: įdiekite kvd507 iš naujo (lango programa yra " << program.string()
            << "); be lango dirbama komandomis, žr. kvd507 --help\n";
  std::exit(1);
}

}  // namespace

std::filesystem::path windowProgram(const std::filesystem::path& executableFolder) {
  if (auto root = runs::installedRoot(executableFolder, runs::Program::kCommandLine)) {
    return runs::installedWindowProgram(*root);
  }
  return executableFolder / "kvd507-window";
}

void startWindow(char** argv) {
  const std::filesystem::path program = windowProgram(runs::executableFolder());
  ::execv(program.c_str(), argv);
  cannotStart(program, errno);
}

void startWindowWith(const std::vector<std::string>& arguments) {
  const std::filesystem::path program = windowProgram(runs::executableFolder());
  std::vector<std::string> words{program.string()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  cannotStart(program, errno);
}

}  // namespace kvd507::cli
