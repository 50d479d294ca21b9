#include "files/Folder.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/IoError.h"

namespace kvd507::files {
namespace {

[[noreturn]] void fail(int error) {
  throw IoError("create the folder", std::error_code(error, std::generic_category()));
}

}  // namespace

void createFolderIfMissing(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) fail(ENOTDIR);
    return;
  }
  if (errno != ENOENT) fail(errno);
  // Another program may create it between the test and here; that is as good.
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) fail(errno);
}

}  // namespace kvd507::files
