#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::xlsx {

// What the workbook part says: its sheets in order and its date system.
struct WorkbookPart {
  struct Sheet {
    std::string name;
    std::string relationshipId;
  };

  std::vector<Sheet> sheets;
  bool date1904 = false;
};

WorkbookPart readWorkbookPart(ZipArchive& archive, std::string_view part, std::uint64_t limit);

}  // namespace kvd507::spreadsheet::xlsx
