#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/Clock.h"

namespace kvd507::rows {

using text::CalendarDate;

// Whether the day exists in the Gregorian calendar.
bool isRealDate(const CalendarDate& date);

// The day written as "YYYY-MM-DD" (what a date cell reads as, a time of day after it allowed),
// "YYYY.MM.DD" or "YYYY/MM/DD"; nothing for any other text or a day that does not exist.
std::optional<CalendarDate> readDate(std::string_view text);

// True when the last digit of an 11-digit personal code is the check digit the public rule
// gives: the first ten digits weighted 1..9,1, modulo 11; a remainder of 10 is tried again
// with weights 3..9,1,2,3, and a second 10 means 0.
bool personalCodeCheckDigitHolds(std::string_view code);

// What is wrong with a personal code ("asmens kodas"), in Lithuanian, or nothing when it is 11
// digits whose first (1 to 6) and next six give a real date of birth, not after `today`, and
// whose check digit holds.
std::optional<std::string> personalCodeFault(std::string_view code, const CalendarDate& today);

// What is wrong with a company code ("įmonės kodas"): anything but 9 digits.
std::optional<std::string> companyCodeFault(std::string_view code);

// What is wrong with a date of birth: no date, one after `today`, or one before 1900.
std::optional<std::string> birthDateFault(std::string_view text, const CalendarDate& today);

}  // namespace kvd507::rows
