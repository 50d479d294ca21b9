#pragma once

#include <filesystem>
#include <memory>

#include "spreadsheet/RowSource.h"

namespace kvd507::spreadsheet {

// Opens a BIFF8 workbook (.xls, Excel 97 and later) stored in a compound file. Throws
// WorkbookError naming the file when it is not one or cannot be read.
std::unique_ptr<WorkbookSource> openXlsSource(const std::filesystem::path& file);

}  // namespace kvd507::spreadsheet
