#pragma once

#include <string_view>

namespace kvd507::workbook {

// Whether a number format shows a date or a time, which decides that a number cell reads as
// a date. `id` is the format's number; built-in ids carry no code, custom ones are judged by
// their code alone.
bool isBuiltinDateFormat(int id);
bool isDateFormatCode(std::string_view code);

}  // namespace kvd507::workbook
