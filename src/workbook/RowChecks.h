#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rows/Finding.h"
#include "rows/TEilute.h"
#include "workbook/SheetReader.h"

namespace kvd507::workbook {

// The trimmed texts of one worksheet row as the reader read them, by 1-based column; columns
// that were not read are empty.
using RowCells = std::vector<std::string>;

// Tells `findings` what reading this row lost or left doubtful: an amount that is no number, a
// negative one, amounts in more than one group, a row without an amount, an odd code, a missing
// identifier, and a row dropped for its empty column B although it holds values. `row` is what
// the reader made of `cells`; nothing here changes it.
void checkRow(const SheetLayout& layout, std::uint32_t rowNumber, const RowCells& cells,
              const rows::TEilute& row, char decimalSeparator, rows::FindingSink& findings);

}  // namespace kvd507::workbook
