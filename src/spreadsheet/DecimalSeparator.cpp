#include "spreadsheet/DecimalSeparator.h"

#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>

#include <cstdlib>
#include <string>

namespace kvd507::spreadsheet {

char decimalSeparatorOfLocale(std::string_view posixName) {
  // "lt_LT.UTF-8@euro": the code set and the modifier say nothing about numbers.
  std::string name(posixName.substr(0, posixName.find_first_of(".@")));
  if (name.empty() || name == "C" || name == "POSIX") return '.';

  UErrorCode status = U_ZERO_ERROR;
  const icu::DecimalFormatSymbols symbols(icu::Locale(name.c_str()), status);
  if (U_FAILURE(status)) return '.';
  const icu::UnicodeString& separator =
      symbols.getConstSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
  // Amounts are plain ASCII; a locale with another separator character is served with the
  // nearest of the two the files use.
  if (separator.length() == 1 && separator[0] == u',') return ',';
  return '.';
}

char decimalSeparatorFromEnvironment() {
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return decimalSeparatorOfLocale(value);
  }
  return '.';
}

}  // namespace kvd507::spreadsheet
