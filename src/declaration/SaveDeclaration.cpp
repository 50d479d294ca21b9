#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "declaration/DeclarationError.h"
#include "declaration/DeclarationWriter.h"
#include "files/IoError.h"
#include "files/WholeFile.h"

namespace kvd507::declaration {
namespace {

[[noreturn]] void folderFailure(const std::filesystem::path& folder, int error) {
  throw DeclarationError(
      files::IoError("create the folder", std::error_code(error, std::generic_category()), folder));
}

void ensureFolder(const std::filesystem::path& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) folderFailure(folder, ENOTDIR);
    return;
  }
  const int statError = errno;
  if (statError != ENOENT || ::mkdir(folder.c_str(), 0777) != 0) {
    folderFailure(folder, statError != ENOENT ? statError : errno);
  }
}

// Writes each piece into the temporary file beside the target.
class TemporaryFileSink : public ByteSink {
 public:
  explicit TemporaryFileSink(files::AtomicFileWriter& writer) : writer_(writer) {}
  void write(std::string_view bytes) override { writer_.write(bytes); }

 private:
  files::AtomicFileWriter& writer_;
};

// Creates the missing folder, and refuses a declaration that must not be replaced.
void prepareTarget(const std::filesystem::path& file) {
  ensureFolder(file.has_parent_path() ? file.parent_path() : std::filesystem::path("."));
  if (files::isReadOnly(file)) throw DeclarationError(ErrorKind::kReadOnlyFile, {file.string()});
}

}  // namespace

void saveDeclaration(const std::filesystem::path& file, std::string_view bytes) {
  prepareTarget(file);
  try {
    // A declaration the user shared with others, or kept private, stays so when replaced.
    files::replaceFileAtomically(file, bytes, files::Permissions::kKeepExisting);
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
}

void saveDeclaration(const std::filesystem::path& file, const rows::RowTable& lRows,
                     const rows::RowTable& uRows, const DeclarationHeader& header,
                     WriterHost& host) {
  prepareTarget(file);
  try {
    files::AtomicFileWriter writer(file, files::Permissions::kKeepExisting);
    TemporaryFileSink sink(writer);
    writeDeclaration(sink, lRows, uRows, header, host);
    writer.commit();
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
}

}  // namespace kvd507::declaration
