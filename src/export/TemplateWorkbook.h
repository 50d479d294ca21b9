#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "export/TemplateRow.h"

namespace kvd507::exports {

// The declaration a workbook was written from, kept where the user sees it: in the document's
// properties and in a line beside the title of each sheet.
struct WorkbookOrigin {
  std::string payerCode;
  std::string payerName;  // as the user types it, escapes undone
  std::string year;
  std::string declaration;  // the declaration's file name
};

using TemplateRows = std::vector<std::vector<TemplateCell>>;

// Writes `file` (created or truncated) with libxlsxwriter: both sheets laid out as the
// template, the rows from row 6. Throws Error naming the file when it cannot be written.
void writeTemplateWorkbook(const std::filesystem::path& file, const WorkbookOrigin& origin,
                           const TemplateRows& lRows, const TemplateRows& uRows);

// The line beside the titles: "Išmokų mokėtojas: <name> (<code>), mokestinis laikotarpis: <year>".
std::string originLine(const WorkbookOrigin& origin);

}  // namespace kvd507::exports
