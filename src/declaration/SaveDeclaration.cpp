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
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
  if (files::isReadOnly(file)) throw DeclarationError(ErrorKind::kReadOnlyFile, {file.string()});

  try {
    // A declaration the user shared with others, or kept private, stays so when replaced.
    files::replaceFileAtomically(file, bytes, files::Permissions::kKeepExisting);
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
}

}  // namespace kvd507::declaration
