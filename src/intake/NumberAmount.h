#pragma once

#include <optional>

namespace kvd507::intake {

// The amount a number cell gives: what rows::readAmount reads from the text the user sees,
// spreadsheet::numberText(value, decimalSeparator). An amount cell most often holds a whole
// number of cents, whose printed digits read back as exactly that number of cents: then
// nothing is printed or read.
std::optional<double> numberAsAmount(double value, char decimalSeparator);

}  // namespace kvd507::intake
