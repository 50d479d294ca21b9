#include "files/Folder.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/IoError.h"

namespace kvd507::files {
namespace {

[[noreturn]] void fail(const std::filesystem::path& folder, int error) {
  throw IoError("create the folder", std::error_code(error, std::generic_category()), folder);
}

}  // namespace

void createFolderIfMissing(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) fail(folder, ENOTDIR);
    return;
  }
  if (errno != ENOENT) fail(folder, errno);
  // Another program may create it between the test and here; that is as good.
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) fail(folder, errno);
}

}  // namespace kvd507::files
