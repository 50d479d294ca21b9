#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "spreadsheet/RawCell.h"

namespace kvd507::spreadsheet::ods {

// What the attributes of one <table:table-cell> say about its value. The text of its paragraphs
// is gathered apart, since it comes later, as the cell's content.
struct CellAttributes {
  // A percentage is a number its cell shows as one (office:value 0.15 shown as "15%").
  enum class Type : unsigned char { None, Float, Percentage, Date, Time, Boolean, String };

  Type type = Type::None;
  bool error = false;       // calcext:value-type="error": the formula's result is an error
  bool hasFormula = false;  // table:formula
  bool hasStringValue = false;
  std::string value;  // office:value, date-value, time-value, boolean-value or string-value

  // Reads the attributes of a cell element (names and values alternating, null-terminated),
  // forgetting those of the cell before.
  void read(const char** attributes);
};

// The cell as the other formats store it: numbers with their value, dates and times as 1900-system
// serials, booleans as 1 and 0, text as written. `paragraphs` is the cell's visible text, which an
// error value and a string without office:string-value use.
RawCell cellValue(const CellAttributes& attributes, std::string&& paragraphs);

// The fraction of a day that an ISO 8601 duration such as "PT12H30M00S" or "-P1DT2H" spans, or
// nothing when the text is not such a duration.
std::optional<double> durationDays(std::string_view text);

}  // namespace kvd507::spreadsheet::ods
