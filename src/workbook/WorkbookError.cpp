#include "workbook/WorkbookError.h"

#include <utility>

namespace kvd507::workbook {
namespace {

std::string describe(const std::string& file, const std::string& sheet, std::uint32_t row,
                     std::uint32_t column, const std::string& cause) {
  std::string text = file;
  if (!sheet.empty()) text += ", sheet \"" + sheet + "\"";
  if (row != 0 && column != 0) {
    text += ", cell " + columnName(column) + std::to_string(row);
  } else if (row != 0) {
    text += ", row " + std::to_string(row);
  }
  text += ": " + cause;
  return text;
}

}  // namespace

WorkbookError::WorkbookError(std::string file, std::string cause)
    : WorkbookError(std::move(file), {}, 0, 0, std::move(cause)) {}

WorkbookError::WorkbookError(std::string file, std::string sheet, std::uint32_t row,
                             std::uint32_t column, std::string cause)
    : std::runtime_error(describe(file, sheet, row, column, cause)),
      file_(std::move(file)),
      sheet_(std::move(sheet)),
      row_(row),
      column_(column),
      cause_(std::move(cause)) {}

std::string columnName(std::uint32_t column) {
  std::string name;
  while (column > 0) {
    --column;
    name.insert(name.begin(), static_cast<char>('A' + column % 26));
    column /= 26;
  }
  return name;
}

}  // namespace kvd507::workbook
