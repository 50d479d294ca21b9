#include "rows/Identifiers.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace kvd507::rows {
namespace {

bool allDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

unsigned digitsValue(std::string_view digits) {
  unsigned value = 0;
  for (const char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
  return value;
}

int weightedRemainder(std::string_view code, const std::array<int, 10>& weights) {
  int sum = 0;
  for (std::size_t i = 0; i < weights.size(); ++i) sum += (code[i] - '0') * weights[i];
  return sum % 11;
}

std::string dateText(const CalendarDate& date) {
  std::array<char, 40> text{};  // room for any int and unsigned, not only real dates
  std::snprintf(text.data(), text.size(), "%04d-%02u-%02u", date.year, date.month, date.day);
  return text.data();
}

}  // namespace

bool isRealDate(const CalendarDate& date) {
  static constexpr std::array<unsigned, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.month < 1 || date.month > 12 || date.day < 1) return false;
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  const unsigned days = kDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
  return date.day <= days;
}

std::optional<CalendarDate> readDate(std::string_view text) {
  // A date cell with a time of day reads as "YYYY-MM-DD HH:MM:SS"; the day is what counts.
  if (text.size() > 10 && text[10] == ' ') text = text.substr(0, 10);
  if (text.size() != 10) return std::nullopt;
  const char separator = text[4];
  if ((separator != '-' && separator != '.' && separator != '/') || text[7] != separator) {
    return std::nullopt;
  }
  const std::string_view year = text.substr(0, 4);
  const std::string_view month = text.substr(5, 2);
  const std::string_view day = text.substr(8, 2);
  if (!allDigits(year) || !allDigits(month) || !allDigits(day)) return std::nullopt;
  const CalendarDate date{static_cast<int>(digitsValue(year)), digitsValue(month),
                          digitsValue(day)};
  if (!isRealDate(date)) return std::nullopt;
  return date;
}

bool personalCodeCheckDigitHolds(std::string_view code) {
  if (code.size() != 11 || !allDigits(code)) return false;
  int check = weightedRemainder(code, {1, 2, 3, 4, 5, 6, 7, 8, 9, 1});
  if (check == 10) check = weightedRemainder(code, {3, 4, 5, 6, 7, 8, 9, 1, 2, 3});
  if (check == 10) check = 0;
  return code[10] - '0' == check;
}

std::optional<std::string> personalCodeFault(std::string_view code, const CalendarDate& today) {
  if (code.size() != 11 || !allDigits(code)) return "turi būti 11 skaitmenų";
  const unsigned first = digitsValue(code.substr(0, 1));
  if (first < 1 || first > 6) return "pirmasis skaitmuo turi būti nuo 1 iki 6";
  // 1 and 2 are born in the 19th century, 3 and 4 in the 20th, 5 and 6 in the 21st.
  const CalendarDate born{
      static_cast<int>(1800 + 100 * ((first - 1) / 2) + digitsValue(code.substr(1, 2))),
      digitsValue(code.substr(3, 2)), digitsValue(code.substr(5, 2))};
  if (!isRealDate(born)) return "2–7 skaitmenys nėra tikra gimimo data";
  if (born.number() > today.number()) {
    return "2–7 skaitmenys: gimimo data " + dateText(born) + " dar neatėjo";
  }
  if (!personalCodeCheckDigitHolds(code)) return "neteisingas kontrolinis skaitmuo";
  return std::nullopt;
}

std::optional<std::string> companyCodeFault(std::string_view code) {
  if (code.size() != 9 || !allDigits(code)) return "turi būti 9 skaitmenys";
  return std::nullopt;
}

std::optional<std::string> birthDateFault(std::string_view text, const CalendarDate& today) {
  const std::optional<CalendarDate> date = readDate(text);
  if (!date) return "nėra data (rašoma MMMM-MM-DD)";
  if (date->number() > today.number()) return "data " + dateText(*date) + " dar neatėjo";
  if (date->year < 1900) return "data " + dateText(*date) + " ankstesnė nei 1900 metai";
  return std::nullopt;
}

}  // namespace kvd507::rows
