#pragma once

#include "intake/SheetLayout.h"
#include "rows/Finding.h"
#include "rows/RowTable.h"
#include "rows/StatusSink.h"
#include "spreadsheet/Workbook.h"

namespace kvd507::intake {

// Reads the worksheet from row 6 down to the tenth consecutive row with an empty column B,
// adding each row to `table` or merging it into a row with the same key. A workbook without
// the worksheet adds nothing. A cell whose value has no text ends the reading; the rows read
// before it stay, and a ReadStopped finding (readStopFinding) says where it happened. A damaged
// file, or rows beyond what the table may hold, throw Error naming the file, sheet and row: a file
// whose structure is broken gives no rows that can be trusted. What the reading lost or found
// doubtful goes to `findings`, with every row taken; none of it changes what is read.
void readSheet(spreadsheet::Workbook& workbook, const SheetLayout& layout, rows::RowTable& table,
               rows::StatusSink& status, char decimalSeparator,
               rows::FindingSink& findings = rows::ignoredFindings());

inline void readLSheet(spreadsheet::Workbook& workbook, rows::RowTable& lRows,
                       rows::StatusSink& status, char decimalSeparator,
                       rows::FindingSink& findings = rows::ignoredFindings()) {
  // The U sheet is read after this one; a .xls sheet is read whole before its first row, and
  // that can be done meanwhile.
  workbook.prepareSheet(kUSheet.name, kUSheet.lastColumn());
  readSheet(workbook, kLSheet, lRows, status, decimalSeparator, findings);
}

inline void readUSheet(spreadsheet::Workbook& workbook, rows::RowTable& uRows,
                       rows::StatusSink& status, char decimalSeparator,
                       rows::FindingSink& findings = rows::ignoredFindings()) {
  readSheet(workbook, kUSheet, uRows, status, decimalSeparator, findings);
}

}  // namespace kvd507::intake
