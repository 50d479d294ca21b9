#include "spreadsheet/DateFormat.h"

#include <cctype>

namespace kvd507::spreadsheet {

bool isBuiltinDateFormat(int id) {
  // 14-22 and 45-47 are the dates and times every spreadsheet application agrees on; 27-36
  // and 50-58 are the East Asian date formats.
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
         (id >= 50 && id <= 58);
}

namespace {

// Walks the first section of a number format code, the only one that matters for positive
// numbers, and hands each bracketed part ("[Red]", "[$-409]", "[h]") to `bracket` as what it
// holds and each format character outside quoted literals and escapes to `letter`. Either
// answers true to end the walk with true; a code that ends without one answers false.
template <typename Bracket, typename Letter>
bool anyInFirstSection(std::string_view code, Bracket bracket, Letter letter) {
  bool inQuotes = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (inQuotes) {
      if (c == '"') inQuotes = false;
      continue;
    }
    switch (c) {
      case '"':
        inQuotes = true;
        break;
      case '\\':
      case '_':
      case '*':
        ++i;  // the next character is a literal or padding: an escaped "%" does not scale
        break;
      case ';':
        return false;
      case '[': {
        const std::size_t close = code.find(']', i);
        if (close == std::string_view::npos) return false;
        if (bracket(code.substr(i + 1, close - i - 1))) return true;
        i = close;
        break;
      }
      default:
        if (letter(static_cast<char>(std::tolower(static_cast<unsigned char>(c))))) return true;
        break;
    }
  }
  return false;
}

}  // namespace

bool isDateFormatCode(std::string_view code) {
  // [h], [mm] and [ss] are elapsed-time formats and count as time; other bracketed parts
  // ([Red], [$-409]) are not format letters.
  const auto elapsedTime = [](std::string_view inside) {
    if (inside.empty()) return false;
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(inside[0])));
    if (first != 'h' && first != 'm' && first != 's') return false;
    for (char d : inside) {
      if (std::tolower(static_cast<unsigned char>(d)) != first) return false;
    }
    return true;
  };
  // "m" alone is ambiguous (month or minute), but either way it is a date or time.
  const auto dateOrTimeLetter = [](char lower) {
    return lower == 'y' || lower == 'd' || lower == 'h' || lower == 's' || lower == 'm';
  };
  return anyInFirstSection(code, elapsedTime, dateOrTimeLetter);
}

bool isBuiltinPercentFormat(int id) {
  return id == 9 || id == 10;
}

bool isPercentFormatCode(std::string_view code) {
  return anyInFirstSection(
      code, [](std::string_view) { return false; }, [](char c) { return c == '%'; });
}

NumberShape builtinNumberShape(int id) {
  if (isBuiltinDateFormat(id)) return NumberShape::Date;
  return isBuiltinPercentFormat(id) ? NumberShape::Percent : NumberShape::Plain;
}

NumberShape numberShapeOfCode(std::string_view code) {
  if (isDateFormatCode(code)) return NumberShape::Date;
  return isPercentFormatCode(code) ? NumberShape::Percent : NumberShape::Plain;
}

}  // namespace kvd507::spreadsheet
