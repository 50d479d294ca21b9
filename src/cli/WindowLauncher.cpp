#include "cli/WindowLauncher.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "files/IoError.h"
#include "runs/ProgramFolder.h"

namespace kvd507::cli {

std::filesystem::path windowProgram(const std::filesystem::path& executableFolder) {
  if (auto root = runs::installedRoot(executableFolder, runs::Program::kCommandLine)) {
    return runs::installedWindowProgram(*root);
  }
  return executableFolder / "kvd507-window";
}

void startWindow(char** argv) {
  const std::filesystem::path program = windowProgram(runs::executableFolder());
  ::execv(program.c_str(), argv);
  throw files::IoError("start the window", std::error_code(errno, std::generic_category()),
                       program);
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
  throw files::IoError("start the window", std::error_code(errno, std::generic_category()),
                       program);
}

}  // namespace kvd507::cli
