#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/Workbook.h"

namespace kvd507::test {

// A workbook held in memory, for tests of what reads workbooks. Cells are set by 1-based row
// and column; a sheet exists once it is named.
class MemoryWorkbook {
 public:
  MemoryWorkbook& sheet(const std::string& name);
  MemoryWorkbook& set(const std::string& sheet, std::uint32_t row, std::uint32_t column,
                      spreadsheet::RawCell cell);
  MemoryWorkbook& text(const std::string& sheet, std::uint32_t row, std::uint32_t column,
                       std::string value) {
    return set(sheet, row, column, spreadsheet::RawCell::makeText(std::move(value)));
  }
  MemoryWorkbook& number(const std::string& sheet, std::uint32_t row, std::uint32_t column,
                         double value) {
    return set(sheet, row, column, spreadsheet::RawCell::makeNumber(value));
  }
  // A number shown as a percentage ("0%"): 0.15 shown as 15%.
  MemoryWorkbook& percent(const std::string& sheet, std::uint32_t row, std::uint32_t column,
                          double value) {
    return set(sheet, row, column, spreadsheet::RawCell::makePercent(value));
  }

  // Merges the cell at (row, column) with the `count` - 1 cells below it, as a spreadsheet
  // does: the text stays in the first cell and the others read empty.
  MemoryWorkbook& mergeDown(const std::string& sheet, std::uint32_t row, std::uint32_t column,
                            std::uint32_t count);
  // Reading the sheet fails at `row` as a damaged file does (WorkbookError), after handing out
  // the rows above it.
  MemoryWorkbook& damage(const std::string& sheet, std::uint32_t row);

  spreadsheet::Workbook open(const std::string& fileName = "memory.xlsx") const;

  // Writes the same sheets and cells as a real .xlsx file (dates with a date format,
  // percentages with "0%").
  // Error values cannot be written this way.
  void saveXlsx(const std::filesystem::path& file) const;

 private:
  using Rows = std::map<std::uint32_t, std::map<std::uint32_t, spreadsheet::RawCell>>;
  std::vector<std::string> names_;
  std::map<std::string, Rows> sheets_;
  struct Merge {
    std::string sheet;
    std::uint32_t row, column, count;
  };
  std::vector<Merge> merges_;
  std::map<std::string, std::uint32_t> damage_;
};

}  // namespace kvd507::test
