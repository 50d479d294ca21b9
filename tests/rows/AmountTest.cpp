#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

#include "rows/Amount.h"

namespace kvd507::rows {
namespace {

TEST(ParseAmount, ReadsEitherSeparatorAndRejectsEverythingElse) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"12,50", 12.5}, {"12.50", 12.5}, {"-3", -3},
      {"+4,25", 4.25}, {"1e3", 1000},   {"1,5E-1", 0.15},
      {",5", 0.5},     {"7.", 7},       {"", 0},
      {"abc", 0},      {"1.000,50", 0}, {"1 000", 1000},
      {"12,5 €", 0},   {"inf", 0},      {"nan", 0},
      {"0x10", 0},     {"1e", 0},       {"-", 0},
      {".", 0},        {"1e999", 0},    {"38001010000", 38001010000.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(parseAmount(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ParseAmount, TakesSpacesBetweenGroupsOfThreeDigits) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"1 234,56", 1234.56},
      {"1 234 567.5", 1234567.5},
      {"-12 345", -12345},
      {"1\xC2\xA0"
       "234,56",
       1234.56},  // no-break space
      {"1\xE2\x80\xAF"
       "234,56",
       1234.56},  // narrow no-break space
      {"123 456e1", 1234560},
      // Everything else stays 0, as before.
      {"1.234,56", 0},
      {"12 34,5", 0},
      {"1  234", 0},
      {"1234 567", 0},
      {"1 2345", 0},
      {"1 234,567 8", 0},
      {"1 234\xC2\xA0", 0},
      {"- 234", 0},
      {"12,50 EUR", 0},
      {"1\t234", 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(parseAmount(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(ReadAmount, TellsNoNumberFromZero) {
  EXPECT_EQ(readAmount("0"), 0.0);
  EXPECT_EQ(readAmount("-0,00"), -0.0);
  EXPECT_EQ(readAmount("1 234,5"), 1234.5);
  for (const char* text : {"", "12,50 EUR", "1  234", "inf", "1e999"}) {
    EXPECT_FALSE(readAmount(text)) << '"' << text << '"';
  }
}

// Both readings of an amount, bit for bit: -0 and +0 must not pass for each other.
std::uint64_t bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

TEST(ReadAmount, ReadsPlainDigitsToTheNearestDouble) {
  // Plain decimals are read without from_chars; each must still be the double from_chars gives
  // for it, also at the 15 and 16 digits where the plain reading hands over.
  const char* const texts[] = {"0",
                               "-0",
                               "5.",
                               ".5",
                               "-,05",
                               "0.1",
                               "0,3",
                               "6770.20",
                               "12345678901234.56",
                               "00012.50",
                               "999999999999999",
                               "9999999999999999",
                               "123456789012345",
                               "1234567890123456",
                               "0.000000000000001",
                               "9007199254740993",
                               "4503599627370497.5",
                               "0.30000000000000004",
                               "-98765432109,87",
                               "1.7976931348623157",
                               "1e-5"};
  for (const char* text : texts) {
    std::string plain(text);
    bool negative = false;
    if (plain.front() == '-') {
      negative = true;
      plain.erase(0, 1);
    }
    for (char& c : plain) {
      if (c == ',') c = '.';
    }
    double expected = 0.0;
    std::from_chars(plain.data(), plain.data() + plain.size(), expected);
    if (negative) expected = -expected;
    const std::optional<double> read = readAmount(text);
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(bits(*read), bits(expected)) << text;
  }
}

TEST(PrintAmount, GivesWhatTheTextItPrintsReadsAs) {
  const double values[] = {0.0,
                           -0.0,
                           12.5,
                           -1234.56,
                           0.1 + 0.2,
                           1015.53 + 471.98,
                           2.675,
                           -0.004,
                           9999999999999.99,
                           12345678901234.0,
                           1234567890123.456,
                           123456789012340.0,
                           1e300,
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (const char separator : {',', '.', 'x'}) {
    for (const double value : values) {
      const PrintedAmount printed = printAmount(value, separator);
      EXPECT_EQ(printed.text, formatAmount(value, separator)) << value;
      EXPECT_EQ(bits(printed.value), bits(parseAmount(printed.text))) << value << separator;
    }
  }
}

TEST(roundAmount, AddsFiftyOneHundredthsBeforeCutting) {
  struct Case {
    double value;
    double expected;
  };
  const Case cases[] = {
      {12.3449, 12.35}, {12.34489, 12.34},  {1.005, 1.01}, {0.004, 0.0},  {0.0049, 0.01},
      {100, 100},       {-12.3449, -12.35}, {-0.004, 0.0}, {2.675, 2.68}, {0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(roundAmount(2, c.value), c.expected) << c.value;
  }
}

TEST(FormatAmount, TwoDecimalsInTheGivenSeparator) {
  struct Case {
    double value;
    char separator;
    const char* expected;
  };
  const Case cases[] = {
      {100, ',', "100,00"},
      {1234.5, '.', "1234.50"},
      {-0.5, ',', "-0,50"},
      {-0.0, ',', "0,00"},
      {0.1 + 0.2, ',', "0,30"},
      {12345678901234.0, ',', "12345678901234,00"},
      {1234567890123.456, ',', "1234567890123,50"},  // 14 significant digits
      {123456789012340.0, ',', "1,2345678901234E+14"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatAmount(c.value, c.separator), c.expected) << c.value;
  }
}

}  // namespace
}  // namespace kvd507::rows
