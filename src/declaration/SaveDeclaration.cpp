#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "declaration/DeclarationError.h"
#include "declaration/DeclarationWriter.h"
#include "files/IoError.h"
#include "files/WholeFile.h"

namespace kvd507::declaration {
namespace {

std::string causeOf(int error) {
  return std::strerror(error);
}

void ensureFolder(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) {
      throw DeclarationError(folder.string(), "cannot create the folder: " + causeOf(ENOTDIR));
    }
    return;
  }
  const int statError = errno;
  if (statError != ENOENT || ::mkdir(folder.c_str(), 0777) != 0) {
    const int error = statError != ENOENT ? statError : errno;
    throw DeclarationError(folder.string(), "cannot create the folder: " + causeOf(error));
  }
}

}  // namespace

void saveDeclaration(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  ensureFolder(folder);
  if (files::isReadOnly(file)) {
    throw DeclarationError(file.string(),
                           "failas apsaugotas nuo rašymo (tik skaitymui), todėl jis nepakeistas; "
                           "nuimkite apsaugą arba išsaugokite formą kitu vardu");
  }

  try {
    // A declaration the user shared with others, or kept private, stays so when replaced.
    files::replaceFileAtomically(file, bytes, files::Permissions::kKeepExisting);
  } catch (const files::IoError& e) {
    throw DeclarationError(file.string(), "cannot " + e.step() + ": " + e.code().message());
  }
}

}  // namespace kvd507::declaration
