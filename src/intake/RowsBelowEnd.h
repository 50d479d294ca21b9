#pragma once

#include <cstdint>

#include "intake/SheetLayout.h"
#include "rows/Finding.h"
#include "spreadsheet/Workbook.h"

namespace kvd507::intake {

// How far below the end of the data the reader looks for rows it will not read.
inline constexpr std::uint32_t kRowsLookedAtBelowEnd = 1000;

// Counts the rows from `firstRow` down (at most kRowsLookedAtBelowEnd of them) that hold
// anything in the layout's columns, and tells `findings` how many there are and where they
// begin. Reading ends after ten empty rows, so these rows are lost to the declaration; looking
// at them changes nothing that was read. A cell or file that fails here ends the look quietly.
void lookBelowEnd(spreadsheet::Sheet& sheet, const SheetLayout& layout, std::uint32_t firstRow,
                  char decimalSeparator, rows::FindingSink& findings);

}  // namespace kvd507::intake
