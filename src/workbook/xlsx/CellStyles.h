#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "workbook/xlsx/ZipArchive.h"

namespace kvd507::workbook::xlsx {

// Which cell styles (the <c s="..."> index into cellXfs) show numbers as dates or times.
class CellStyles {
 public:
  // No style shows a date, for a workbook without a styles part.
  CellStyles() = default;
  static CellStyles read(ZipArchive& archive, std::string_view part, std::uint64_t limit);

  bool isDate(std::size_t style) const { return style < dates_.size() && dates_[style]; }

 private:
  std::vector<bool> dates_;
};

}  // namespace kvd507::workbook::xlsx
