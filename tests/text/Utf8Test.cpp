#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "text/Utf8.h"

namespace kvd507::text {
namespace {

TEST(DecodeUtf8, TakesWellFormedCharactersOnly) {
  struct Case {
    std::string_view bytes;
    char32_t code;
    std::size_t length;  // 0: not UTF-8
  };
  const Case cases[] = {
      {"A", U'A', 1},
      {"\xC4\x85", U'ą', 2},
      {"\xE2\x82\xAC", U'€', 3},
      {"\xF0\x9D\x84\x9E", 0x1D11E, 4},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
      {"\xC0\xAF", 0, 0},          // overlong "/"
      {"\xE0\x80\xAF", 0, 0},      // overlong three bytes
      {"\xF0\x80\x80\xAF", 0, 0},  // overlong four bytes
      {"\xED\xA0\x80", 0, 0},      // surrogate
      {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
      {"\xE2\x82", 0, 0},          // cut off
      {"\x80", 0, 0},              // a continuation byte alone
      {"\xC4"
       "A",
       0, 0},  // a lead byte without its continuation
      {"\xFF", 0, 0},
  };
  for (const Case& c : cases) {
    const Utf8Character character = decodeUtf8(c.bytes, 0);
    EXPECT_EQ(character.length, c.length) << testing::PrintToString(c.bytes);
    EXPECT_EQ(character.code, c.code) << testing::PrintToString(c.bytes);
  }
}

TEST(FirstInvalidUtf8, PointsAtTheFirstByteThatBeginsNoCharacter) {
  EXPECT_EQ(firstInvalidUtf8(""), std::nullopt);
  EXPECT_EQ(firstInvalidUtf8("Ąžuolas €"), std::nullopt);
  EXPECT_EQ(firstInvalidUtf8("ab\xFF"), 2u);
  EXPECT_EQ(firstInvalidUtf8("ą\xE2\x82"), 2u);
  EXPECT_EQ(firstInvalidUtf8("\xED\xA0\x80x"), 0u);
}

// Every length's first and last character survives the way there and back.
TEST(EncodeUtf8, WritesWhatDecodeUtf8ReadsBack) {
  for (const char32_t code :
       {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFDu, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    std::string out = "kept";
    appendUtf8(out, code);
    ASSERT_TRUE(out.starts_with("kept"));
    const Utf8Character character = decodeUtf8(out, 4);
    EXPECT_EQ(character.code, code);
    EXPECT_EQ(character.length, out.size() - 4) << static_cast<unsigned>(code);
  }
}

TEST(Utf16ToUtf8, JoinsPairsAndReplacesLoneSurrogates) {
  struct Case {
    const char* what;
    std::u16string units;
    std::string utf8;
  };
  const Case cases[] = {
      {"empty", u"", ""},
      {"letters", u"Ažuolas €", "Ažuolas €"},
      {"pair", u"\xD834\xDD1E", "\xF0\x9D\x84\x9E"},
      {"lone high at the end", u"a\xD834", "a\uFFFD"},
      {"lone high before a letter", u"\xD834z", "\uFFFDz"},
      {"lone low", u"\xDD1E", "\uFFFD"},
      {"pair the wrong way round", u"\xDD1E\xD834", "\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf16ToUtf8(c.units), c.utf8) << c.what;
}

}  // namespace
}  // namespace kvd507::text
