#include "spreadsheet/CellText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "rows/Amount.h"

namespace kvd507::spreadsheet {
namespace {

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
CivilDate civilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {m <= 2 ? y + 1 : y, m, d};
}

}  // namespace

std::string numberText(double value, char decimalSeparator) {
  if (value == 0.0) return "0";  // also -0
  // Whole numbers and cents, most of what sheets hold: their few digits read back as the value,
  // which lies far closer to them than half a unit of the 15th digit, so they are what "%.15G"
  // prints, and plain integer formatting finds them.
  if (const auto cents = rows::exactCents(value)) {
    return rows::centsText(*cents, decimalSeparator, false);
  }
  // The same digits as printf's "%.15G", without its cost.
  std::array<char, 40> buffer{};
  const char* last = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::general, 15)
                         .ptr;
  std::string text(buffer.data(), static_cast<std::size_t>(last - buffer.data()));
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
    if (c == 'e') c = 'E';
  }
  return text;
}

std::string dateTimeText(double serial) {
  const double wholeDays = std::floor(serial);
  auto seconds = static_cast<std::int64_t>(std::llround((serial - wholeDays) * 86400.0));
  auto days = static_cast<std::int64_t>(wholeDays);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  std::array<char, 16> time{};
  std::snprintf(time.data(), time.size(), "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  if (days < 1) return time.data();

  std::array<char, 32> date{};
  if (days == 60) {
    // The 1900 system counts a 29 February 1900 that never was.
    std::snprintf(date.data(), date.size(), "1900-02-29");
  } else {
    // Serial 1 is 1900-01-01; past the phantom day, serial 61 is 1900-03-01.
    const std::int64_t sinceEpoch = days - (days < 60 ? 25568 : 25569);
    const CivilDate civil = civilFromDays(sinceEpoch);
    std::snprintf(date.data(), date.size(), "%04lld-%02u-%02u", static_cast<long long>(civil.year),
                  civil.month, civil.day);
  }
  std::string text = date.data();
  if (seconds != 0) {
    text += ' ';
    text += time.data();
  }
  return text;
}

bool cellText(const RawCell& cell, char decimalSeparator, std::string& out) {
  switch (cell.kind) {
    case RawCell::Kind::Empty:
      out.clear();
      return true;
    case RawCell::Kind::Text:
      out = cell.textView();
      return true;
    case RawCell::Kind::Number:
      out = numberText(cell.number, decimalSeparator);
      return true;
    case RawCell::Kind::DateTime:
      // Outside 1900-01-00 .. 9999-12-31 no date exists; the number itself is the best text.
      if (!(cell.number >= 0.0 && cell.number < 2958466.0)) {
        out = numberText(cell.number, decimalSeparator);
      } else {
        out = dateTimeText(cell.number);
      }
      return true;
    case RawCell::Kind::Error:
      return false;
  }
  return false;
}

}  // namespace kvd507::spreadsheet
