#pragma once

#include <filesystem>
#include <string>

#include "declaration/DeclarationHeader.h"
#include "rows/RowTable.h"
#include "runs/WindowState.h"

namespace kvd507::runs {

// What the conversion runs keep between them: the row tables and what an append run took over
// from an existing declaration.
struct RunState {
  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;
  std::string existingDeclaration{kNoExistingDeclaration};
};

// Whether a run that has read the workbook goes on to write the declaration.
enum class WriteMode {
  Always,
  UnlessDataLost,    // not when data was counted as 0, dropped or not read, or no payer chosen
  UnlessAnyFinding,  // not when anything at all was found
  Never,             // only read and report
};

// Where a run writes and how it shows numbers.
struct RunSettings {
  std::filesystem::path outputFile;  // normally formos/KVD507.ffdata in the program folder
  char decimalSeparator = ',';
  WriteMode writeMode = WriteMode::Always;
};

}  // namespace kvd507::runs
