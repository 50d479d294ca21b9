#pragma once

#include <string_view>

namespace kvd507::spreadsheet {

// The decimal separator of the user's locale as the environment names it (LC_ALL, then
// LC_NUMERIC, then LANG). Needs no generated system locale: ICU's data answers.
char decimalSeparatorFromEnvironment();

// The decimal separator of a POSIX locale name such as "lt_LT.UTF-8" or "C".
char decimalSeparatorOfLocale(std::string_view posixName);

}  // namespace kvd507::spreadsheet
