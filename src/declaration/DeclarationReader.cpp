#include "declaration/DeclarationReader.h"

#include "declaration/DeclarationError.h"

namespace kvd507::declaration {

void ReadExistingDeclaration(const std::filesystem::path& file, workbook::RowTable&,
                             workbook::RowTable&, DeclarationHeader&) {
  throw DeclarationError(file.string(), "reading declarations is not built yet");
}

}  // namespace kvd507::declaration
