#include "intake/RowsBelowEnd.h"

#include <string>

#include "errors/Error.h"
#include "rows/Text.h"
#include "spreadsheet/WorkbookError.h"

namespace kvd507::intake {
namespace {

bool holdsAnything(spreadsheet::Sheet& sheet, const SheetLayout& layout, std::uint32_t row,
                   char separator, std::string& scratch) {
  for (std::uint32_t column = 2; column <= layout.lastColumn(); ++column) {
    try {
      if (!rows::trim(sheet.cellText(row, column, separator, scratch)).empty()) return true;
    } catch (const spreadsheet::CellError&) {
      return true;  // an error value is something typed there too
    }
  }
  return false;
}

}  // namespace

void lookBelowEnd(spreadsheet::Sheet& sheet, const SheetLayout& layout, std::uint32_t firstRow,
                  char decimalSeparator, rows::FindingSink& findings) {
  std::uint32_t count = 0;
  std::uint32_t first = 0;
  std::string scratch;
  try {
    for (std::uint32_t row = firstRow; row < firstRow + kRowsLookedAtBelowEnd; ++row) {
      if (!holdsAnything(sheet, layout, row, decimalSeparator, scratch)) continue;
      if (count++ == 0) first = row;
    }
  } catch (const Error&) {
    // Damage below the data is no reason to fail a run that never needed to read that far;
    // what was counted still stands.
  }
  if (count == 0) return;
  findings.add({rows::Finding::Kind::RowsBelowEnd,
                std::string(layout.name),
                first,
                {},
                "žemiau dešimties tuščių eilučių, kuriomis skaitymas baigiasi, yra užpildytų "
                "eilučių: " +
                    std::to_string(count) + " (pirmoji – " + std::to_string(first) +
                    "); jos neperskaitytos"});
}

}  // namespace kvd507::intake
