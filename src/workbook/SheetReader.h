#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rows/Finding.h"
#include "rows/RowTable.h"
#include "rows/StatusSink.h"
#include "workbook/Workbook.h"

namespace kvd507::workbook {

// Where the columns of one worksheet kind stand (1-based; column 2, B, is always the text).
struct SheetLayout {
  std::string_view name;
  std::uint32_t firstExtraColumn;  // extra texts kept in cells 10.. (none on the L sheet)
  std::uint32_t extraCount;
  std::uint32_t firstIdentifierColumn;
  std::uint32_t identifierCount;
  // Four groups of (amount, code) follow the identifiers, then the column of cell 8 and the
  // second amount.
  std::uint32_t firstGroupColumn;

  std::uint32_t columnTextColumn() const { return firstGroupColumn + 8; }
  std::uint32_t secondAmountColumn() const { return firstGroupColumn + 9; }
  std::uint32_t lastColumn() const { return secondAmountColumn(); }
};

inline constexpr std::uint32_t kFirstDataRow = 6;
inline constexpr SheetLayout kLSheet{"KVD507 L", 0, 0, 3, 5, 8};
inline constexpr SheetLayout kUSheet{"KVD507 U", 3, 4, 7, 6, 13};

// Where and why a sheet reader stopped before the end of the data.
struct ReadStop {
  std::string sheet;
  std::uint32_t row = 0;
  std::uint32_t column = 0;  // 0 when the failure is not one cell's
  std::string cause;         // why, in Lithuanian
  std::string detail;        // what the cell holds instead of text: "#N/A", ...

  // One line for the user, in Lithuanian: sheet, row, column, cause and detail.
  std::string describe() const;
};

// Reads the worksheet from row 6 down to the tenth consecutive row with an empty column B,
// adding each row to `table` or merging it into a row with the same key. A workbook without
// the worksheet adds nothing. A cell whose value has no text ends the reading; the rows read
// before it stay, and the returned ReadStop says where it happened. A damaged file, or rows
// beyond what the table may hold, throw Error naming the file, sheet and row: a file whose
// structure is broken gives no rows that can be trusted. What the reading lost or found
// doubtful goes to `findings`, with every row taken; none of it changes what is read.
std::optional<ReadStop> readSheet(Workbook& workbook, const SheetLayout& layout,
                                  rows::RowTable& table, rows::StatusSink& status,
                                  char decimalSeparator,
                                  rows::FindingSink& findings = rows::ignoredFindings());

inline std::optional<ReadStop> ReadLSheet(Workbook& workbook, rows::RowTable& lRows,
                                          rows::StatusSink& status, char decimalSeparator,
                                          rows::FindingSink& findings = rows::ignoredFindings()) {
  // The U sheet is read after this one; a .xls sheet is read whole before its first row, and
  // that can be done meanwhile.
  workbook.prepareSheet(kUSheet.name, kUSheet.lastColumn());
  return readSheet(workbook, kLSheet, lRows, status, decimalSeparator, findings);
}

inline std::optional<ReadStop> ReadUSheet(Workbook& workbook, rows::RowTable& uRows,
                                          rows::StatusSink& status, char decimalSeparator,
                                          rows::FindingSink& findings = rows::ignoredFindings()) {
  return readSheet(workbook, kUSheet, uRows, status, decimalSeparator, findings);
}

}  // namespace kvd507::workbook
