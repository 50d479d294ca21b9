#include <string>

#include "declaration/DeclarationError.h"
#include "declaration/DeclarationWriter.h"
#include "files/Folder.h"
#include "files/IoError.h"
#include "files/WholeFile.h"
#include "files/WriteBehind.h"

namespace kvd507::declaration {
namespace {

// Writes each piece into the temporary file beside the target, from a thread of its own.
class TemporaryFileSink : public ByteSink {
 public:
  explicit TemporaryFileSink(files::AtomicFileWriter& writer) : writer_(writer) {}
  void write(std::string_view bytes) override { writer_.write(bytes); }
  void writeTaking(std::string& bytes) override { writer_.writeTaking(bytes); }
  void finish() { writer_.finish(); }

 private:
  files::WriteBehind writer_;
};

// Creates the missing folder, and refuses a declaration that must not be replaced.
void prepareTarget(const std::filesystem::path& file) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  try {
    files::createFolderIfMissing(folder);
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
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
                     const rows::RowTable& uRows, const DeclarationHeader& header, WriterHost& host,
                     const std::function<void()>& beforeReplacing,
                     const files::InputFiles& inputs) {
  prepareTarget(file);
  try {
    files::AtomicFileWriter writer(file, files::Permissions::kKeepExisting, inputs);
    TemporaryFileSink sink(writer);
    writeDeclaration(sink, lRows, uRows, header, host);
    sink.finish();
    if (beforeReplacing) beforeReplacing();
    writer.commit();
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
}

}  // namespace kvd507::declaration
