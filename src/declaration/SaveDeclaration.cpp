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

// Writes each piece into the temporary file beside the target.
class TemporaryFileSink : public ByteSink {
 public:
  explicit TemporaryFileSink(files::AtomicFileWriter& writer) : writer_(writer) {}
  void write(std::string_view bytes) override { writer_.write(bytes); }

 private:
  files::AtomicFileWriter& writer_;
};

std::filesystem::path folderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

}  // namespace

void saveDeclaration(const std::filesystem::path& file, std::string_view bytes) {
  ensureFolder(folderOf(file));

  try {
    files::replaceFileAtomically(file, bytes, files::Permissions::kFromUmask);
  } catch (const files::IoError& e) {
    throw DeclarationError(file.string(), "cannot " + e.step() + ": " + e.code().message());
  }
}

void saveDeclaration(const std::filesystem::path& file, const rows::RowTable& lRows,
                     const rows::RowTable& uRows, const DeclarationHeader& header,
                     WriterHost& host) {
  ensureFolder(folderOf(file));
  try {
    files::AtomicFileWriter writer(file, files::Permissions::kFromUmask);
    TemporaryFileSink sink(writer);
    writeDeclaration(sink, lRows, uRows, header, host);
    writer.commit();
  } catch (const files::IoError& e) {
    throw DeclarationError(file.string(), "cannot " + e.step() + ": " + e.code().message());
  }
}
}  // namespace kvd507::declaration
