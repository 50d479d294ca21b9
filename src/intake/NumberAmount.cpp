#include "intake/NumberAmount.h"

#include "rows/Amount.h"
#include "spreadsheet/CellText.h"

namespace kvd507::intake {

std::optional<double> numberAsAmount(double value, char decimalSeparator) {
  // readAmount takes only these two as separators.
  if (decimalSeparator == '.' || decimalSeparator == ',') {
    // numberText prints these with centsText, and reading its digits divides them by 100,
    // correctly rounded, just as here. Zero, also -0, prints as "0" and reads as +0.
    if (const auto cents = rows::exactCents(value)) return static_cast<double>(*cents) / 100.0;
  }
  return rows::readAmount(spreadsheet::numberText(value, decimalSeparator));
}

}  // namespace kvd507::intake
