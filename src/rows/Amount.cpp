#include "rows/Amount.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace kvd507::rows {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The spaces that may stand between digit groups: space, no-break space, narrow no-break space.
std::size_t groupSpaceLength(std::string_view text, std::size_t at) {
  if (text.substr(at, 1) == " ") return 1;
  if (text.substr(at, 2) == "\xC2\xA0") return 2;
  if (text.substr(at, 3) == "\xE2\x80\xAF") return 3;
  return 0;
}

// "1 234 567,5" written the Lithuanian way: takes the spaces out of the whole-number part when
// they stand between groups of exactly three digits (the first group one to three). A space is
// never a decimal separator, so this reading cannot be mistaken for another. Anything else is
// given back unchanged, for the shape check to refuse.
std::string withoutGroupSpaces(std::string_view text) {
  std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  std::string out(text.substr(0, i));
  std::size_t groupDigits = 0;
  bool grouped = false;
  for (; i < text.size(); ++i) {
    if (isDigit(text[i])) {
      ++groupDigits;
      out += text[i];
      continue;
    }
    const std::size_t space = groupSpaceLength(text, i);
    if (space == 0) break;
    const bool groupFits = grouped ? groupDigits == 3 : groupDigits >= 1 && groupDigits <= 3;
    if (!groupFits) return std::string(text);
    grouped = true;
    groupDigits = 0;
    i += space - 1;
  }
  if (grouped && groupDigits != 3) return std::string(text);
  out += text.substr(i);
  return out;
}

// Whether a byte that can begin a group space is in the text. (find_first_of would look each
// byte up in the list with a call of its own.)
bool mayHoldGroupSpace(std::string_view text) {
  for (const char c : text) {
    if (c == ' ' || c == '\xC2' || c == '\xE2') return true;
  }
  return false;
}

// Plain digits with at most one "." and no exponent, 15 digits at most, as normalise leaves
// most amounts: their value without from_chars. The digits make a whole number below 2^53 and
// the power of ten is below 10^22, so both are exact doubles and their quotient, rounded once,
// is the double nearest the decimal: what from_chars gives.
std::optional<double> exactDecimal(std::string_view plain) {
  constexpr std::size_t kMostDigits = 15;
  static constexpr std::array<double, kMostDigits + 1> kPowersOfTen{
      1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t digits = 0;
  std::size_t digitCount = 0;
  std::size_t decimals = 0;
  bool afterPoint = false;
  for (const char c : plain) {
    if (c == '.') {
      afterPoint = true;
    } else if (isDigit(c)) {
      if (++digitCount > kMostDigits) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (afterPoint) ++decimals;
    } else {
      return std::nullopt;  // an exponent
    }
  }
  return static_cast<double>(digits) / kPowersOfTen[decimals];
}

// Checks the shape of the text (from_chars alone would also take "inf", "nan" and hex) and
// writes it to `out` with a "." separator and no leading sign or "+"; `out` has room for
// text.size() characters, which the result never exceeds. Gives the length written, or nothing
// when the shape is wrong.
std::optional<std::size_t> normalise(std::string_view text, char* out, bool& negative) {
  char* const start = out;
  std::size_t i = 0;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool digits = false;
  bool separator = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (isDigit(c)) {
      digits = true;
      *out++ = c;
    } else if ((c == ',' || c == '.') && !separator) {
      separator = true;
      *out++ = '.';
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    *out++ = 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) *out++ = text[i++];
    bool exponentDigits = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
      exponentDigits = true;
      *out++ = text[i];
    }
    if (!exponentDigits) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return static_cast<std::size_t>(out - start);
}

// More digits before the separator than can be shown: "1.2345E+15".
std::string exponentForm(double value) {
  std::array<char, 64> buffer{};
  const char* last = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific, 13)
                         .ptr;
  const std::string_view text(buffer.data(), static_cast<std::size_t>(last - buffer.data()));
  const std::size_t e = text.find('e');
  std::string mantissa(text.substr(0, e));
  while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
  if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
  std::string_view exponent = text.substr(e + 1);
  const char sign = exponent.front();
  exponent.remove_prefix(1);
  while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
  return mantissa + 'E' + sign + std::string(exponent);
}

// The next double above a value that is at least 0.51, as nextafter towards infinity gives it:
// for a positive finite double that is the next bit pattern.
double nextUp(double t) {
  if (!(t < std::numeric_limits<double>::infinity())) {
    return std::nextafter(t, std::numeric_limits<double>::infinity());
  }
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(t) + 1);
}

}  // namespace

std::optional<double> readAmount(std::string_view text) {
  // Every cell's amount comes through here: texts without a byte that can start a group space
  // (the common case) are read as they are, and short ones on the stack.
  std::string ungrouped;
  if (mayHoldGroupSpace(text)) {
    ungrouped = withoutGroupSpaces(text);
    text = ungrouped;
  }
  std::array<char, 64> shortText;
  std::string longText;
  char* plain = shortText.data();
  if (text.size() > shortText.size()) {
    longText.resize(text.size());
    plain = longText.data();
  }
  bool negative = false;
  const std::optional<std::size_t> length = normalise(text, plain, negative);
  if (!length) return std::nullopt;
  if (const std::optional<double> exact = exactDecimal({plain, *length})) {
    return negative ? -*exact : *exact;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(plain, plain + *length, value);
  if (error != std::errc() || end != plain + *length || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

double parseAmount(std::string_view text) {
  return readAmount(text).value_or(0.0);
}

bool isTooLarge(double amount) {
  return !(std::fabs(amount) < kLargestAmount);
}

double countedAmount(std::string_view text) {
  const double value = parseAmount(text);
  return isTooLarge(value) ? 0.0 : value;
}

double roundAmount(int digits, double value) {
  // Amounts are rounded to cents, once per cell read: the scale is the constant pow(10, 2)
  // gives, and pow is left for other digit counts.
  const double scale = digits == 2 ? 100.0 : std::pow(10.0, digits);
  const double y = value * scale;
  const double magnitude = std::fabs(y);
  double t = magnitude + 0.51;
  t = nextUp(t);
  const double r = std::trunc(t);
  return (y < 0 ? -r : r) / scale;
}

std::optional<std::int64_t> exactCents(double value) {
  if (!(std::fabs(value) < 1e13)) return std::nullopt;
  const auto cents = static_cast<std::int64_t>(std::llround(value * 100.0));
  // The division rounds correctly, so equality means that the decimal text of `cents` reads
  // back as `value` exactly.
  if (static_cast<double>(cents) / 100.0 != value) return std::nullopt;
  return cents;
}

std::string centsText(std::int64_t cents, char decimalSeparator, bool keepZeroCents) {
  // Written backwards into a buffer and made a string once: every amount printed comes here.
  std::array<char, 32> buffer;
  char* const end = buffer.data() + buffer.size();
  char* first = end;
  std::uint64_t magnitude =
      cents < 0 ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
  const auto fraction = static_cast<unsigned>(magnitude % 100);
  if (fraction != 0 || keepZeroCents) {
    if (fraction % 10 != 0 || keepZeroCents) *--first = static_cast<char>('0' + fraction % 10);
    *--first = static_cast<char>('0' + fraction / 10);
    *--first = decimalSeparator;
  }
  magnitude /= 100;
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (cents < 0) *--first = '-';
  return {first, end};
}

std::string formatAmount(double value, char decimalSeparator) {
  if (!std::isfinite(value)) value = 0.0;
  // A whole number of cents, as amounts are once rounded: its digits are what printing to two
  // decimals gives, since the value lies far closer to them than half a cent.
  if (const auto cents = exactCents(value)) return centsText(*cents, decimalSeparator, true);
  std::array<char, 64> buffer{};
  char* const begin = buffer.data();
  char* const end = begin + buffer.size();
  std::string text;
  if (std::fabs(value) < 1e12) {
    // With 12 digits or fewer before the separator, two decimals stay within the 14 significant
    // digits shown, so printing to two decimals is all there is to it.
    text.assign(begin, std::to_chars(begin, end, value, std::chars_format::fixed, 2).ptr);
  } else {
    // First to 14 significant digits, as the amount is shown, then to two decimals.
    const char* last = std::to_chars(begin, end, value, std::chars_format::scientific, 13).ptr;
    double shown = 0.0;
    std::from_chars(begin, last, shown);
    if (std::fabs(shown) < 1e14) {
      text.assign(begin, std::to_chars(begin, end, shown, std::chars_format::fixed, 2).ptr);
    } else {
      text = exponentForm(shown);
    }
  }
  if (text == "-0.00") text = "0.00";
  for (char& c : text) {
    if (c == '.') c = decimalSeparator;
  }
  return text;
}

PrintedAmount printAmount(double value, char decimalSeparator) {
  if (!std::isfinite(value)) value = 0.0;  // as formatAmount does
  // formatAmount prints a whole number of cents with centsText, and reading its digits divides
  // them by 100, correctly rounded, just as here (-0 too reads as +0). Only "," and "." read.
  const auto cents = exactCents(value);
  if (cents && (decimalSeparator == '.' || decimalSeparator == ',')) {
    return {centsText(*cents, decimalSeparator, true), static_cast<double>(*cents) / 100.0};
  }
  PrintedAmount printed{formatAmount(value, decimalSeparator), 0.0};
  printed.value = parseAmount(printed.text);
  return printed;
}

}  // namespace kvd507::rows
