#pragma once

#include <filesystem>
#include <memory>

#include "spreadsheet/RowSource.h"

namespace kvd507::spreadsheet {

// Opens an Office Open XML workbook (.xlsx, .xlsm; transitional or strict). Throws
// WorkbookError naming the file when it is not one or cannot be read.
std::unique_ptr<WorkbookSource> openXlsxSource(const std::filesystem::path& file);

}  // namespace kvd507::spreadsheet
