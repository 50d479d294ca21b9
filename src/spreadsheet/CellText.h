#pragma once

#include <string>

#include "spreadsheet/RawCell.h"

namespace kvd507::spreadsheet {

// The text the user sees for a number: C's "%.15G" with the decimal point replaced by
// `decimalSeparator`; negative zero prints as "0".
std::string numberText(double value, char decimalSeparator);

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" with a time of day, or "HH:MM:SS" for a serial below 1.
// `serial` counts days in the 1900 date system, with its phantom 29 February 1900.
std::string dateTimeText(double serial);

// The text of a cell. Returns false (and leaves `out` alone) for an error value, whose
// description then stays in the cell.
bool cellText(const RawCell& cell, char decimalSeparator, std::string& out);

}  // namespace kvd507::spreadsheet
