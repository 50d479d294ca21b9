#include <gtest/gtest.h>

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

TEST(MyRoundTo, AddsFiftyOneHundredthsBeforeCutting) {
  struct Case {
    double value;
    double expected;
  };
  const Case cases[] = {
      {12.3449, 12.35}, {12.34489, 12.34},  {1.005, 1.01}, {0.004, 0.0},  {0.0049, 0.01},
      {100, 100},       {-12.3449, -12.35}, {-0.004, 0.0}, {2.675, 2.68}, {0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(MyRoundTo(2, c.value), c.expected) << c.value;
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
