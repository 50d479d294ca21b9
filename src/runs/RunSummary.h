#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "rows/RowTable.h"

namespace kvd507::runs {

// What one appendix of the declaration holds after a run, and where its rows came from.
struct SheetSummary {
  struct CodeTotal {
    std::string letter;
    std::string code;
    std::size_t rows = 0;
    double amount = 0;
  };

  std::string sheet;
  std::size_t existingRows = 0;  // taken over from an existing declaration
  std::size_t rowsRead = 0;      // rows of the worksheet with column B filled
  std::size_t rowsMerged = 0;    // of those, added into an earlier row with the same key
  std::size_t rowsWritten = 0;   // rows in the declaration
  std::size_t pages = 0;
  double amount = 0;              // the amounts as they stand in the declaration, added up
  double secondAmount = 0;        // likewise the second amounts
  std::vector<CodeTotal> byCode;  // ordered by letter, then code
};

struct RunSummary {
  SheetSummary l;
  SheetSummary u;
  // Amounts of the workbook or the existing declaration that were no number or too large and
  // count as 0 in the sums; the findings say which.
  std::size_t amountsNotCounted = 0;

  std::size_t pages() const { return 1 + l.pages + u.pages; }
};

// How a letter and code of the totals reads: "A 01", "A be kodo", "be kodo".
std::string codeLabel(const SheetSummary::CodeTotal& total);

// Sums up a table as the declaration will carry it: `rowsPerPage` rows to an appendix page.
SheetSummary summariseTable(std::string sheet, const rows::RowTable& table,
                            std::size_t rowsPerPage);

// The summary for the user, one line each, in Lithuanian; amounts with `decimalSeparator`.
// Amounts not counted, when there are any, have a line of their own before the last.
// The last line counts rows and pages as "L įrašų: 11, U įrašų: 0, puslapių: 3 (...)".
std::vector<std::string> describeSummary(const RunSummary& summary, char decimalSeparator);

// The status line after a write: "Forma įrašyta: PATH (L įrašų: 12, U įrašų: 3, puslapių: 4)".
std::string writtenStatus(const std::filesystem::path& file, const RunSummary& summary);

}  // namespace kvd507::runs
