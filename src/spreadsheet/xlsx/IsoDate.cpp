#include "spreadsheet/xlsx/IsoDate.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace kvd507::spreadsheet::xlsx {
namespace {

// Reads exactly `digits` decimal digits at the front of `text`.
std::optional<int> number(std::string_view& text, std::size_t digits) {
  if (text.size() < digits) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  text.remove_prefix(digits);
  return value;
}

bool skip(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool validDay(int year, int month, int day) {
  static constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[static_cast<std::size_t>(month - 1)])
    return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month != 2 || day <= 28 || leap;
}

// "HH:MM[:SS[.fff]]" as a fraction of a day; the rest of `text` must be a zone or nothing.
std::optional<double> timeOfDay(std::string_view text) {
  const auto hour = number(text, 2);
  if (!hour || !skip(text, ':')) return std::nullopt;
  const auto minute = number(text, 2);
  if (!minute) return std::nullopt;
  double second = 0;
  if (skip(text, ':')) {
    std::size_t length = 0;
    while (length < text.size() &&
           ((text[length] >= '0' && text[length] <= '9') || text[length] == '.')) {
      ++length;
    }
    const auto result = std::from_chars(text.data(), text.data() + length, second);
    if (result.ec != std::errc() || result.ptr != text.data() + length) return std::nullopt;
    text.remove_prefix(length);
  }
  if (*hour > 24 || *minute > 59 || second >= 61) return std::nullopt;
  if (!text.empty() && text.front() != 'Z' && text.front() != '+' && text.front() != '-') {
    return std::nullopt;
  }
  return (*hour * 3600.0 + *minute * 60.0 + second) / 86400.0;
}

}  // namespace

std::optional<double> isoDateSerial(std::string_view text) {
  if (text.size() >= 3 && text[2] == ':') return timeOfDay(text);
  if (skip(text, 'T')) return timeOfDay(text);

  const auto year = number(text, 4);
  if (!year || !skip(text, '-')) return std::nullopt;
  const auto month = number(text, 2);
  if (!month || !skip(text, '-')) return std::nullopt;
  const auto day = number(text, 2);
  if (!day || !validDay(*year, *month, *day) || *year < 1900) return std::nullopt;

  double fraction = 0;
  if (skip(text, 'T') || skip(text, ' ')) {
    const auto time = timeOfDay(text);
    if (!time) return std::nullopt;
    fraction = *time;
  } else if (!text.empty()) {
    return std::nullopt;
  }
  const std::int64_t days =
      daysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
  // Serial 1 is 1900-01-01; from 1900-03-01 on the serials count a 29 February 1900 that
  // never was.
  const std::int64_t march1900 = daysFromCivil(1900, 3, 1);
  const std::int64_t serial = days + (days < march1900 ? 25568 : 25569);
  return static_cast<double>(serial) + fraction;
}

}  // namespace kvd507::spreadsheet::xlsx
