#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "spreadsheet/CellText.h"
#include "spreadsheet/DateFormat.h"
#include "spreadsheet/DecimalSeparator.h"

namespace kvd507::spreadsheet {
namespace {

TEST(NumberText, PrintsFifteenSignificantDigitsWithTheLocaleSeparator) {
  EXPECT_EQ(numberText(38001010000.0, ','), "38001010000");
  EXPECT_EQ(numberText(12.5, ','), "12,5");
  EXPECT_EQ(numberText(12.5, '.'), "12.5");
  EXPECT_EQ(numberText(-0.0, ','), "0");
  EXPECT_EQ(numberText(0.1 + 0.2, ','), "0,3");
  EXPECT_EQ(numberText(1e20, ','), "1E+20");
  EXPECT_EQ(numberText(1.5e-7, ','), "1,5E-07");
  EXPECT_EQ(numberText(-1234.5678, ','), "-1234,5678");
}

TEST(DateTimeText, FollowsThe1900DateSystem) {
  struct Case {
    double serial;
    const char* expected;
  };
  const Case cases[] = {
      {1, "1900-01-01"},       {59, "1900-02-28"},    {60, "1900-02-29"},
      {61, "1900-03-01"},      {44927, "2023-01-01"}, {44927.5, "2023-01-01 12:00:00"},
      {0.75, "18:00:00"},      {0, "00:00:00"},       {44927.999999999, "2023-01-02"},
      {2958465, "9999-12-31"},
  };
  for (const Case& c : cases) EXPECT_EQ(dateTimeText(c.serial), c.expected) << c.serial;
}

TEST(CellText, ErrorValuesHaveNoText) {
  std::string text = "before";
  EXPECT_FALSE(cellText(RawCell::makeError("#N/A"), ',', text));
  EXPECT_EQ(text, "before");
  EXPECT_TRUE(cellText(RawCell::makeDateTime(-5), ',', text));
  EXPECT_EQ(text, "-5");
  EXPECT_TRUE(cellText(RawCell{}, ',', text));
  EXPECT_EQ(text, "");
}

TEST(DateFormat, RecognisesDateAndTimeCodes) {
  struct Case {
    const char* code;
    bool isDate;
  };
  const Case cases[] = {
      {"yyyy-mm-dd", true},           {"dd/mm/yy", true},  {"h:mm:ss", true}, {"[h]:mm", true},
      {"[$-427]yyyy\\ \"m.\"", true}, {"General", false},  {"0.00", false},   {"[Red]0.00", false},
      {"#,##0 \"Eur\"", false},       {"0.00E+00", false}, {"@", false},      {"\"day\"0", false},
      {"0;[Red]-0;\"d\"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isDateFormatCode(c.code), c.isDate) << c.code;
  EXPECT_TRUE(isBuiltinDateFormat(14));
  EXPECT_TRUE(isBuiltinDateFormat(22));
  EXPECT_FALSE(isBuiltinDateFormat(2));
  EXPECT_FALSE(isBuiltinDateFormat(49));
}

TEST(DateFormat, TellsPercentagesFromOtherNumbers) {
  struct Case {
    const char* code;
    NumberShape shape;
  };
  const Case cases[] = {
      {"0%", NumberShape::Percent},         {"0.0 %", NumberShape::Percent},
      {"[Red]0.00%", NumberShape::Percent}, {"#,##0.00\\%", NumberShape::Plain},
      {"0\"%\"", NumberShape::Plain},       {"0;0%", NumberShape::Plain},
      {"0.00", NumberShape::Plain},         {"yyyy-mm-dd", NumberShape::Date},
  };
  for (const Case& c : cases) EXPECT_EQ(numberShapeOfCode(c.code), c.shape) << c.code;
  EXPECT_EQ(builtinNumberShape(9), NumberShape::Percent);
  EXPECT_EQ(builtinNumberShape(10), NumberShape::Percent);
  EXPECT_EQ(builtinNumberShape(14), NumberShape::Date);
  EXPECT_EQ(builtinNumberShape(2), NumberShape::Plain);
}

TEST(DecimalSeparator, ComesFromTheLocaleName) {
  EXPECT_EQ(decimalSeparatorOfLocale("lt_LT.UTF-8"), ',');
  EXPECT_EQ(decimalSeparatorOfLocale("lt_LT"), ',');
  EXPECT_EQ(decimalSeparatorOfLocale("de_DE.UTF-8@euro"), ',');
  EXPECT_EQ(decimalSeparatorOfLocale("en_US.UTF-8"), '.');
  EXPECT_EQ(decimalSeparatorOfLocale("C.UTF-8"), '.');
  EXPECT_EQ(decimalSeparatorOfLocale("POSIX"), '.');
  EXPECT_EQ(decimalSeparatorOfLocale(""), '.');
}

}  // namespace
}  // namespace kvd507::spreadsheet
