#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "cli/Command.h"
#include "rows/RowTable.h"

namespace kvd507::cli {

// `kvd507 rows WORKBOOK`, for the command line.
Command rowsCommand();

// `kvd507 rows WORKBOOK`: prints every row the two sheet readers keep, one line each, "L" or
// "U" and the 14 cells separated by TAB. Returns the exit status. The technical detail of a
// failure only when `verbose`.
int runRowsCommand(const std::string& workbookPath, std::ostream& out, std::ostream& err,
                   bool verbose = false);

// The rows of one table as `kvd507 rows` prints them: `kind` ("L" or "U"), then the 14 cells.
void printRows(const char* kind, const rows::RowTable& table, std::ostream& out);

// A cell as one TAB-separated field: backslash, TAB, CR and LF written as \\, \t, \r, \n;
// other control characters (C0, DEL, C1) left out.
std::string escapeField(const std::string& cell);
// The same, appended to `line`.
void appendField(std::string& line, std::string_view cell);

}  // namespace kvd507::cli
