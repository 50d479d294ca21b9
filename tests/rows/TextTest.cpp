#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <string>

#include "rows/Text.h"

namespace kvd507::rows {
namespace {

TEST(Text, TrimsUpperCasesAndEscapesAsTheDeclarationNeeds) {
  EXPECT_EQ(trim("\t a b \r\n"), "a b");
  EXPECT_EQ(trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");  // no-break spaces stay
  EXPECT_EQ(escapeName("a & \"b\""), "a &amp; &quot;b&quot;");
  EXPECT_EQ(characterCount("ąb"), 2u);
  EXPECT_EQ(firstCharacters("ąčę", 2), "ąč");
}

TEST(Text, UpperCasesEveryLetterWithoutALanguagesRules) {
  struct Case {
    const char* text;
    const char* upper;
  };
  const Case cases[] = {
      {"žalias uab", "ŽALIAS UAB"},
      {"Ona Kazlauskienė", "ONA KAZLAUSKIENĖ"},
      {"UAB „Ąžuolų šviesa“ & co", "UAB „ĄŽUOLŲ ŠVIESA“ & CO"},
      {"Straße", "STRASSE"},  // full mapping: one letter becomes two
      {"\xEF\xAC\x81"
       "rma",
       "FIRMA"},  // the ligature fi
      {"ǆemal", "ǄEMAL"},
      {"i\xCC\x87", "I\xCC\x87"},  // the dot above stays: that is Lithuanian's own rule
      {"\xFF\xFE"
       "ab",
       "\xFF\xFE"
       "AB"},  // no UTF-8: left as it is
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(upperCase(c.text), c.upper) << c.text;
  }
  // ASCII text reads exactly as when only a-z were changed.
  for (int byte = 1; byte < 0x80; ++byte) {
    const char c = static_cast<char>(byte);
    const char expected = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    EXPECT_EQ(upperCase(std::string(1, c) + "ė"), std::string(1, expected) + "Ė") << byte;
    EXPECT_EQ(upperCase(std::string(1, c)), std::string(1, expected)) << byte;
  }
}

// The user's locale must not count: Turkish would make "i" a dotted capital İ.
TEST(Text, UpperCasingIgnoresTheDefaultLocale) {
  const icu::Locale before = icu::Locale::getDefault();
  for (const char* language : {"tr", "lt", "az"}) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(language), status);
    ASSERT_TRUE(U_SUCCESS(status));
    EXPECT_EQ(upperCase("istanbul į"), "ISTANBUL Į") << language;
    EXPECT_EQ(upperCase("i\xCC\x87"), "I\xCC\x87") << language;
  }
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale::setDefault(before, status);
}

}  // namespace
}  // namespace kvd507::rows
