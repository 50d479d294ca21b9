#pragma once

#include <cstddef>
#include <filesystem>

#include "export/TemplateWorkbook.h"

namespace kvd507::exports {

enum class Replace {
  kNever,    // an existing file is an error (kFileExists), and stays as it was
  kAllowed,  // an existing file is replaced, unless it is marked read-only
};

struct WrittenWorkbook {
  std::filesystem::path file;
  WorkbookOrigin origin;
  std::size_t lRows = 0;
  std::size_t uRows = 0;
};

// "FORMA.xlsx" beside "FORMA.ffdata".
std::filesystem::path defaultWorkbookFor(const std::filesystem::path& declaration);

// Writes the rows of `declaration` into a new workbook laid out as the template, so that
// converting it with the declaration's payer and year gives the declaration back. Before the
// workbook takes its name it is read back with the sheet readers and every row compared with
// the declaration's: a row that would come back otherwise is refused (RowNotInTemplate, naming
// page, slot and field) and nothing is written. The workbook appears whole or not at all.
// Throws DeclarationError when the declaration cannot be read, Error naming the workbook when
// it cannot be written.
WrittenWorkbook declarationToWorkbook(const std::filesystem::path& declaration,
                                      const std::filesystem::path& workbook, Replace replace);

}  // namespace kvd507::exports
