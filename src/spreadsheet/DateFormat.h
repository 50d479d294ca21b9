#pragma once

#include <string_view>

namespace kvd507::spreadsheet {

// Whether a number format shows a date or a time, which decides that a number cell reads as
// a date. `id` is the format's number; built-in ids carry no code, custom ones are judged by
// their code alone.
bool isBuiltinDateFormat(int id);
bool isDateFormatCode(std::string_view code);

// Whether a number format shows a number as a percentage (0.15 as "15%"): built-in 9 and 10,
// or a code with a "%" of its own in its first section.
bool isBuiltinPercentFormat(int id);
bool isPercentFormatCode(std::string_view code);

// What a cell's number format makes of the number it holds, for a reader that looks the format
// up once per number cell.
enum class NumberShape : unsigned char { Plain, Date, Percent };
NumberShape builtinNumberShape(int id);
NumberShape numberShapeOfCode(std::string_view code);

}  // namespace kvd507::spreadsheet
