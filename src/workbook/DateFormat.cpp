#include "workbook/DateFormat.h"

#include <cctype>

namespace kvd507::workbook {

bool isBuiltinDateFormat(int id) {
  // 14-22 and 45-47 are the dates and times every spreadsheet application agrees on; 27-36
  // and 50-58 are the East Asian date formats.
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
         (id >= 50 && id <= 58);
}

bool isDateFormatCode(std::string_view code) {
  // Only the first section matters for positive numbers. Quoted literals, escaped characters
  // and bracketed parts ([Red], [$-409]) are not format letters; [h], [mm] and [ss] are
  // elapsed-time formats and count as time.
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
        ++i;  // the next character is a literal or padding
        break;
      case ';':
        return false;
      case '[': {
        const std::size_t close = code.find(']', i);
        if (close == std::string_view::npos) return false;
        const std::string_view inside = code.substr(i + 1, close - i - 1);
        if (!inside.empty()) {
          const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(inside[0])));
          if (first == 'h' || first == 'm' || first == 's') {
            bool elapsed = true;
            for (char d : inside) {
              if (std::tolower(static_cast<unsigned char>(d)) != first) elapsed = false;
            }
            if (elapsed) return true;
          }
        }
        i = close;
        break;
      }
      default: {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == 'y' || lower == 'd' || lower == 'h' || lower == 's') return true;
        // "m" alone is ambiguous (month or minute), but either way it is a date or time.
        if (lower == 'm') return true;
        break;
      }
    }
  }
  return false;
}

bool isBuiltinPercentFormat(int id) {
  return id == 9 || id == 10;
}

bool isPercentFormatCode(std::string_view code) {
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
        ++i;  // an escaped "%" is a literal sign; the number is not scaled for it
        break;
      case '[': {
        const std::size_t close = code.find(']', i);
        if (close == std::string_view::npos) return false;
        i = close;
        break;
      }
      case ';':
        return false;
      case '%':
        return true;
      default:
        break;
    }
  }
  return false;
}

NumberShape builtinNumberShape(int id) {
  if (isBuiltinDateFormat(id)) return NumberShape::Date;
  return isBuiltinPercentFormat(id) ? NumberShape::Percent : NumberShape::Plain;
}

NumberShape numberShapeOfCode(std::string_view code) {
  if (isDateFormatCode(code)) return NumberShape::Date;
  return isPercentFormatCode(code) ? NumberShape::Percent : NumberShape::Plain;
}

}  // namespace kvd507::workbook
