#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "spreadsheet/DateFormat.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::xlsx {

// Which cell styles (the <c s="..."> index into cellXfs) show numbers as dates or times, and
// which as percentages.
class CellStyles {
 public:
  // No style shows a date, for a workbook without a styles part.
  CellStyles() = default;
  static CellStyles read(ZipArchive& archive, std::string_view part, std::uint64_t limit);

  NumberShape shape(std::size_t style) const {
    return style < shapes_.size() ? shapes_[style] : NumberShape::Plain;
  }
  bool isDate(std::size_t style) const { return shape(style) == NumberShape::Date; }

 private:
  std::vector<NumberShape> shapes_;
};

}  // namespace kvd507::spreadsheet::xlsx
