#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <string>

#include "runs/DesktopOpener.h"

extern char** environ;

namespace kvd507::runs {

bool XdgOpener::open(const std::filesystem::path& path) {
  std::string program = "xdg-open";
  std::string argument = path.string();
  std::array<char*, 3> argv{program.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    return false;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace kvd507::runs
