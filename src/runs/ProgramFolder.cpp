#include "runs/ProgramFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "files/Folder.h"
#include "files/IoError.h"

namespace kvd507::runs {
namespace {

namespace fs = std::filesystem;

// KVD507_INSTALL_BINDIR, _LIBEXECDIR and _DATADIR are the install folders relative to the
// tree's root, as the build was configured (src/runs/CMakeLists.txt).
fs::path installFolder(Program program) {
  if (program == Program::kWindow) return fs::path(KVD507_INSTALL_LIBEXECDIR) / "kvd507";
  return KVD507_INSTALL_BINDIR;
}

// `folder` without the trailing components `tail`, or nothing when it does not end with them.
std::optional<fs::path> withoutTail(const fs::path& folder, const fs::path& tail) {
  std::vector<fs::path> head(folder.begin(), folder.end());
  std::vector<fs::path> ending(tail.begin(), tail.end());
  // "/usr/bin/" ends in an empty component.
  while (!head.empty() && head.back().empty()) head.pop_back();
  while (!ending.empty() && ending.back().empty()) ending.pop_back();
  if (ending.empty() || tail.is_absolute() || ending.size() >= head.size()) return std::nullopt;
  for (std::size_t i = 0; i < ending.size(); ++i) {
    if (head[head.size() - ending.size() + i] != ending[i]) return std::nullopt;
  }
  fs::path root;
  for (std::size_t i = 0; i + ending.size() < head.size(); ++i) root /= head[i];
  return root;
}

fs::path homeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  // A program started without HOME (by a service, say) still belongs to a user.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && *found->pw_dir != '\0') {
    return found->pw_dir;
  }
  throw files::IoError("find the home folder",
                       std::make_error_code(std::errc::no_such_file_or_directory), "~");
}

// Creates `folder` and every missing folder above it.
void createFolders(const fs::path& folder) {
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path at = folder; !at.empty() && !fs::exists(fs::symlink_status(at, error));
       at = at.parent_path()) {
    missing.push_back(at);
    if (at == at.parent_path()) break;
  }
  std::reverse(missing.begin(), missing.end());
  for (const fs::path& level : missing) files::createFolderIfMissing(level);
  files::createFolderIfMissing(folder);
}

// Copies the templates into a hidden folder first and renames it into place, so that a start
// stopped half-way leaves no half-filled `sablonas` behind that would keep the rest out.
void giveTemplates(const fs::path& folder, const fs::path& templates) {
  const fs::path target = folder / "sablonas";
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error))) return;
  // Named after this process: another start copies into a folder of its own. One left behind
  // by an earlier process of the same number was never renamed, and is copied anew.
  const fs::path staging = folder / (".sablonas-" + std::to_string(::getpid()));
  fs::remove_all(staging, error);
  if (::mkdir(staging.c_str(), 0777) != 0) {
    throw files::IoError("create the folder", std::error_code(errno, std::generic_category()),
                         target);
  }
  try {
    for (fs::directory_iterator it(templates, error), end; !error && it != end;
         it.increment(error)) {
      if (!it->is_regular_file(error)) continue;
      const fs::path copy = staging / it->path().filename();
      if (!fs::copy_file(it->path(), copy, error)) {
        throw files::IoError("copy the template", error, it->path());
      }
      // The user fills in and saves their copy, whatever the installed file allows.
      fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                      error);
    }
    if (error) throw files::IoError("read the folder", error, templates);
    if (::rename(staging.c_str(), target.c_str()) != 0) {
      const int failure = errno;
      // Another start gave them first.
      if (failure != EEXIST && failure != ENOTEMPTY) {
        throw files::IoError("create the folder", std::error_code(failure, std::generic_category()),
                             target);
      }
      fs::remove_all(staging, error);
    }
  } catch (...) {
    fs::remove_all(staging, error);
    throw;
  }
}

}  // namespace

fs::path executableFolder() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return fs::current_path();
  return self.parent_path();
}

std::optional<fs::path> installedRoot(const fs::path& executableFolder, Program program) {
  std::optional<fs::path> root = withoutTail(executableFolder, installFolder(program));
  if (!root) return std::nullopt;
  std::error_code error;
  if (!fs::is_directory(installedTemplates(*root), error)) return std::nullopt;
  return root;
}

fs::path installedTemplates(const fs::path& root) {
  return root / KVD507_INSTALL_DATADIR / "kvd507" / "sablonas";
}

fs::path installedWindowProgram(const fs::path& root) {
  return root / installFolder(Program::kWindow) / "kvd507-window";
}

fs::path userProgramFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  // XDG says a relative XDG_DATA_HOME is to be ignored.
  if (dataHome != nullptr && fs::path(dataHome).is_absolute()) {
    return fs::path(dataHome) / "kvd507";
  }
  return homeFolder() / ".local" / "share" / "kvd507";
}

ProgramFolder programFolder(const std::optional<fs::path>& chosen, Program program) {
  if (chosen) return {*chosen, std::nullopt};
  const fs::path executable = executableFolder();
  if (auto root = installedRoot(executable, program)) {
    return {userProgramFolder(), installedTemplates(*root)};
  }
  return {executable, std::nullopt};
}

void prepareProgramFolder(const ProgramFolder& folder) {
  if (!folder.templates) return;
  createFolders(folder.path);
  giveTemplates(folder.path, *folder.templates);
}

fs::path openProgramFolder(const std::optional<fs::path>& chosen, Program program) {
  ProgramFolder folder = programFolder(chosen, program);
  prepareProgramFolder(folder);
  return std::move(folder.path);
}

fs::path declarationFile(const fs::path& programFolder) {
  return programFolder / "formos" / "KVD507.ffdata";
}

}  // namespace kvd507::runs
