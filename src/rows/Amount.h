#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvd507::rows {

// Amounts travel between the readers, the tables and the writer as text.

// Reads an amount: optional sign, digits with at most one decimal separator, optional
// exponent. Either "," or "." is taken as the separator whatever the locale, so that an amount
// typed or stored the other way round is not lost. The whole-number part may be grouped by
// spaces (U+0020, U+00A0, U+202F) between groups of three digits: "1 234,56". Anything else
// gives 0.
double parseAmount(std::string_view text);

// The same reading, but nothing where parseAmount gives 0 for want of a number (an empty text
// included), so that a caller can tell "0" from "12,50 EUR".
std::optional<double> readAmount(std::string_view text);

// Amounts this large are no payment but a slip (a code or an account number in the amount
// column) and would be printed in exponent form, or as 0 once they overflow: they are counted as
// 0, and the readers tell so.
inline constexpr double kLargestAmount = 1e15;
bool isTooLarge(double amount);

// What an amount counts as in sums: parseAmount, but 0 for an amount of kLargestAmount or more.
double countedAmount(std::string_view text);

// Rounds to `digits` decimals the way the declaration has always been rounded: 0.51, not 0.5,
// is added to the scaled value before its fraction is cut off, so that scaled fractions from
// about 0.49 upward go away from zero.
double roundAmount(int digits, double value);

// Two decimals after `decimalSeparator`, no grouping, a leading "-" when negative; 14
// significant digits, so a value with more than 14 digits before the separator is printed in
// exponent form.
std::string formatAmount(double value, char decimalSeparator);

// An amount as formatAmount prints it, and what parseAmount reads back from that text.
struct PrintedAmount {
  std::string text;
  double value = 0.0;
};
// Reads the text back only when the value is not a whole number of cents: the digits printed
// for one are exactly its own.
PrintedAmount printAmount(double value, char decimalSeparator);

// `value` in hundredths when it is a whole number of them exactly (what the shortest decimal
// text of the value shows), below 10^13 in size; nothing otherwise.
std::optional<std::int64_t> exactCents(double value);

// A number of hundredths as decimal text: "-12,5" or, keeping zero cents, "-12,50"; whole numbers
// have no separator unless zero cents are kept.
std::string centsText(std::int64_t cents, char decimalSeparator, bool keepZeroCents);

}  // namespace kvd507::rows
