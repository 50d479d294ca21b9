#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kvd507::workbook {

// Anything that goes wrong while reading a workbook. Carries the place it concerns so that the
// user can find it: the file always, the sheet and cell when the failure belongs to one.
class WorkbookError : public std::runtime_error {
 public:
  WorkbookError(std::string file, std::string cause);
  WorkbookError(std::string file, std::string sheet, std::uint32_t row, std::uint32_t column,
                std::string cause);

  const std::string& file() const { return file_; }
  const std::string& sheet() const { return sheet_; }
  // 1-based; 0 when the failure does not belong to one row or column.
  std::uint32_t row() const { return row_; }
  std::uint32_t column() const { return column_; }
  const std::string& cause() const { return cause_; }

 private:
  std::string file_;
  std::string sheet_;
  std::uint32_t row_ = 0;
  std::uint32_t column_ = 0;
  std::string cause_;
};

// A cell whose value has no text: an error value such as #N/A, or a formula without a result.
class CellError : public WorkbookError {
 public:
  using WorkbookError::WorkbookError;
};

// Spreadsheet column letters for a 1-based column number: 1 is "A", 28 is "AB".
std::string columnName(std::uint32_t column);

}  // namespace kvd507::workbook
