#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "intake/SheetLayout.h"
#include "rows/Finding.h"
#include "rows/PaymentRow.h"

namespace kvd507::intake {

// One cell of a worksheet row as the reader read it.
struct CellRead {
  // Trimmed, control characters made spaces. An amount cell that holds a number keeps no text:
  // its amount says all there is to check.
  std::string text;
  // For an amount cell, what its text reads as (rows::readAmount, not yet rounded); nothing
  // when the cell is empty or its text is no number.
  std::optional<double> amount;
  // For the rate column: its number is shown as a percentage ("15%" for 0.15).
  bool percent = false;

  bool holdsValue() const { return !text.empty() || amount.has_value(); }
  void clear() {
    text.clear();
    amount.reset();
    percent = false;
  }
};

// One worksheet row as the reader read it, by 1-based column; columns that were not read are
// empty.
using RowCells = std::vector<CellRead>;

// Tells `findings` what reading this row lost or left doubtful: an amount that is no number, a
// negative one, amounts in more than one group, a row without an amount, an odd code, a rate
// that is no number from 0 to 100 or is shown as a percentage, a missing or doubtful identifier,
// and a row dropped for its empty column B although it holds values. `row` is what the reader
// made of `cells`; nothing here changes it.
void checkRow(const SheetLayout& layout, std::uint32_t rowNumber, const RowCells& cells,
              const rows::PaymentRow& row, char decimalSeparator, rows::FindingSink& findings);

}  // namespace kvd507::intake
