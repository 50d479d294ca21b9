#include "support/ShellRun.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/TempDir.h"

namespace kvd507::test {

std::string shellWord(const std::string& word) {
  std::string text = "'";
  for (const char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return text + "'";
}

int runInBash(const std::string& command) {
  const int status = std::system(("bash -c " + shellWord(command)).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

Result runProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& folder) {
  std::string command = "exec " + shellWord(program);
  for (const std::string& argument : arguments) command += " " + shellWord(argument);
  command +=
      " >" + shellWord((folder / "out").string()) + " 2>" + shellWord((folder / "err").string());
  const int status = runInBash(command);
  return {status, readFile(folder / "out"), readFile(folder / "err")};
}

}  // namespace kvd507::test
