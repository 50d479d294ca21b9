#include "declaration/DeclarationError.h"
#include "declaration/DeclarationWriter.h"
#include "files/Folder.h"
#include "files/IoError.h"
#include "files/WholeFile.h"

namespace kvd507::declaration {

void saveDeclaration(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  try {
    files::createFolderIfMissing(folder);
  } catch (const files::IoError& e) {
    throw DeclarationError(folder.string(), "cannot create the folder: " + e.code().message());
  }
  try {
    files::replaceFileAtomically(file, bytes, files::Permissions::kFromUmask);
  } catch (const files::IoError& e) {
    throw DeclarationError(file.string(), "cannot " + e.step() + ": " + e.code().message());
  }
}

}  // namespace kvd507::declaration
