#include "spreadsheet/ods/CellValue.h"

#include <charconv>
#include <cstring>

#include "spreadsheet/xlsx/IsoDate.h"

namespace kvd507::spreadsheet::ods {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<double> parseNumber(std::string_view text) {
  text = trimmed(text);
  // from_chars reads no sign "+" and never looks at the C locale.
  if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

CellAttributes::Type typeNamed(std::string_view name) {
  using Type = CellAttributes::Type;
  // Currencies are numbers shown another way; their value is the number. So are percentages,
  // but a reader wants to know that a rate was typed as one.
  if (name == "float" || name == "currency") return Type::Float;
  if (name == "percentage") return Type::Percentage;
  if (name == "date") return Type::Date;
  if (name == "time") return Type::Time;
  if (name == "boolean") return Type::Boolean;
  if (name == "string") return Type::String;
  return Type::None;
}

RawCell text(std::string&& value) {
  if (value.empty()) return {};
  return RawCell::makeText(std::move(value));
}

constexpr std::string_view kNoResult =
    "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)";

}  // namespace

void CellAttributes::read(const char** attributes) {
  type = Type::None;
  error = false;
  hasFormula = false;
  hasStringValue = false;
  value.clear();
  for (; attributes[0] != nullptr; attributes += 2) {
    const char* name = attributes[0];
    const char* colon = std::strchr(name, ':');
    const std::string_view prefix =
        colon != nullptr ? std::string_view(name, static_cast<std::size_t>(colon - name)) : "";
    const std::string_view local = colon != nullptr ? std::string_view(colon + 1) : name;
    // LibreOffice repeats the type under its own namespace, where it adds "error".
    if (local == "value-type") {
      if (prefix == "calcext") {
        error = std::string_view(attributes[1]) == "error";
      } else {
        type = typeNamed(attributes[1]);
      }
    } else if (local == "value" || local == "date-value" || local == "time-value" ||
               local == "boolean-value") {
      value = attributes[1];
    } else if (local == "string-value") {
      value = attributes[1];
      hasStringValue = true;
    } else if (local == "formula") {
      hasFormula = true;
    }
  }
  // Only the value attribute that belongs to the type counts.
  if (type == Type::String && !hasStringValue) value.clear();
}

RawCell cellValue(const CellAttributes& attributes, std::string&& paragraphs) {
  using Type = CellAttributes::Type;
  if (attributes.error) {
    return RawCell::makeError(paragraphs.empty() ? "error value" : std::move(paragraphs));
  }
  const std::string_view value = trimmed(attributes.value);
  const bool noValue = value.empty() && attributes.type != Type::String;
  if (attributes.hasFormula && (attributes.type == Type::None || noValue)) {
    return RawCell::makeError(std::string(kNoResult));
  }
  switch (attributes.type) {
    case Type::None:
      // A cell without a type holds no value; text in it is still what the user sees.
      return text(std::move(paragraphs));
    case Type::Float:
    case Type::Percentage:
      if (const auto number = parseNumber(value)) {
        return attributes.type == Type::Percentage ? RawCell::makePercent(*number)
                                                   : RawCell::makeNumber(*number);
      }
      return RawCell::makeError("not a number: \"" + std::string(value) + "\"");
    case Type::Date:
      if (const auto serial = xlsx::isoDateSerial(value)) return RawCell::makeDateTime(*serial);
      // Before 1900 no serial exists; the date stays as written.
      return text(std::string(value));
    case Type::Time:
      if (const auto days = durationDays(value)) return RawCell::makeDateTime(*days);
      return text(std::string(value));
    case Type::Boolean:
      if (value == "true") return RawCell::makeNumber(1.0);
      if (value == "false") return RawCell::makeNumber(0.0);
      return RawCell::makeError("not a boolean value: \"" + std::string(value) + "\"");
    case Type::String:
      return text(attributes.hasStringValue ? std::string(attributes.value)
                                            : std::move(paragraphs));
  }
  return {};
}

std::optional<double> durationDays(std::string_view text) {
  text = trimmed(text);
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() != 'P') return std::nullopt;
  text.remove_prefix(1);
  double seconds = 0;
  bool inTime = false;
  bool any = false;
  while (!text.empty()) {
    if (text.front() == 'T') {
      if (inTime) return std::nullopt;
      inTime = true;
      text.remove_prefix(1);
      continue;
    }
    std::size_t length = 0;
    while (length < text.size() &&
           ((text[length] >= '0' && text[length] <= '9') || text[length] == '.')) {
      ++length;
    }
    double amount = 0;
    const auto result = std::from_chars(text.data(), text.data() + length, amount);
    if (length == 0 || result.ptr != text.data() + length || length == text.size()) {
      return std::nullopt;
    }
    const char unit = text[length];
    text.remove_prefix(length + 1);
    if (!inTime && unit == 'D') {
      seconds += amount * 86400.0;
    } else if (inTime && unit == 'H') {
      seconds += amount * 3600.0;
    } else if (inTime && unit == 'M') {
      seconds += amount * 60.0;
    } else if (inTime && unit == 'S') {
      seconds += amount;
    } else {
      // Years and months have no fixed length; no spreadsheet writes them for a time.
      return std::nullopt;
    }
    any = true;
  }
  if (!any) return std::nullopt;
  const double days = seconds / 86400.0;
  return negative ? -days : days;
}

}  // namespace kvd507::spreadsheet::ods
