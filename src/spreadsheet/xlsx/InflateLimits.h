#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "spreadsheet/RowSource.h"

namespace kvd507::spreadsheet::xlsx {

// How far the parts of a workbook may inflate. Zip directories state sizes, but a crafted file
// can lie about them, so these count the bytes actually inflated.
struct InflateLimits {
  std::uint64_t sheetPart = std::uint64_t{1} << 30;
  // Shared strings, styles, the workbook part and relationships.
  std::uint64_t otherPart = std::uint64_t{256} << 20;
  std::uint64_t total = std::uint64_t{4} << 30;
};

// openXlsxSource with other limits than the usual ones.
std::unique_ptr<WorkbookSource> openXlsxSource(const std::filesystem::path& file,
                                               const InflateLimits& limits);

}  // namespace kvd507::spreadsheet::xlsx
