#include "declaration/DeclarationWriter.h"

#include "declaration/DeclarationError.h"

namespace kvd507::declaration {

std::string buildDeclaration(const workbook::RowTable&, const workbook::RowTable&,
                             const DeclarationHeader&, WriterHost&) {
  return {};
}

void saveDeclaration(const std::filesystem::path& file, std::string_view) {
  throw DeclarationError(file.string(), "writing declarations is not built yet");
}

}  // namespace kvd507::declaration
