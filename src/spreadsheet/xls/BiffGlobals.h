#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/DateFormat.h"
#include "spreadsheet/xls/StringPool.h"

namespace kvd507::spreadsheet::xls {

// What the workbook part of a BIFF8 stream says about all of its sheets.
struct BiffGlobals {
  struct SheetEntry {
    std::string name;
    std::uint32_t offset = 0;  // of the sheet's BOF record in the stream
  };

  std::vector<SheetEntry> worksheets;  // in workbook order; chart and macro sheets left out
  StringPool sharedStrings;
  // By cell format (XF) index: whether its number format shows a date, a percentage or neither.
  std::vector<NumberShape> xfShapes;
  bool date1904 = false;

  NumberShape shape(std::uint16_t xf) const {
    return xf < xfShapes.size() ? xfShapes[xf] : NumberShape::Plain;
  }
  bool isDate(std::uint16_t xf) const { return shape(xf) == NumberShape::Date; }
};

// Reads the workbook part at the start of a BIFF8 stream. Throws BiffError when the stream
// is damaged, encrypted or not BIFF8.
BiffGlobals readBiffGlobals(std::string_view stream);

}  // namespace kvd507::spreadsheet::xls
