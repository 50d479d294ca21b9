#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payers/TextEncoding.h"

namespace kvd507::payers {
namespace {

const std::string kLetters = "ąčęėįšųūž ĄČĘĖĮŠŲŪŽ";
const std::string kLettersCp1257 =
    "\xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE \xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE";
const std::string kLettersUtf16Le = std::string(
    "\x05\x01\x0D\x01\x19\x01\x17\x01\x2F\x01\x61\x01\x73\x01\x6B\x01\x7E\x01\x20\x00"
    "\x04\x01\x0C\x01\x18\x01\x16\x01\x2E\x01\x60\x01\x72\x01\x6A\x01\x7D\x01",
    38);

std::string swapPairs(std::string bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string text;
  TextEncoding encoding;
};

TEST(DecodeText, TheMarkOrTheBytesChooseTheEncoding) {
  const DecodeCase cases[] = {
      {"empty", "", "", TextEncoding::Ansi},
      {"plain ASCII", "Alfa;1\r\n", "Alfa;1\r\n", TextEncoding::Ansi},
      {"Windows-1257", kLettersCp1257, kLetters, TextEncoding::Ansi},
      {"UTF-8 mark", "\xEF\xBB\xBF" + kLetters, kLetters, TextEncoding::Utf8WithMark},
      {"UTF-8 mark alone", "\xEF\xBB\xBF", "", TextEncoding::Utf8WithMark},
      {"UTF-16LE mark", "\xFF\xFE" + kLettersUtf16Le, kLetters, TextEncoding::Utf16Le},
      {"UTF-16BE mark", "\xFE\xFF" + swapPairs(kLettersUtf16Le), kLetters, TextEncoding::Utf16Be},
      {"unmarked UTF-8", kLetters, kLetters, TextEncoding::Utf8},
      // One Windows-1257 letter among UTF-8 ones makes the bytes ill-formed UTF-8.
      {"mixed", "ą\xE0", "Ä…ą", TextEncoding::Ansi},
      // A UTF-8 sequence cut off at the end of the file is not UTF-8 either.
      {"truncated UTF-8", "a\xC4", "aÄ", TextEncoding::Ansi},
      {"ill-formed after a mark",
       "\xEF\xBB\xBF"
       "a\xFF"
       "b",
       "a\uFFFDb", TextEncoding::Utf8WithMark},
  };
  for (const DecodeCase& c : cases) {
    const DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.what;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.what;
    EXPECT_TRUE(decoded.ansiLines.empty()) << c.what;
  }
}

// A UTF-8 list with lines written in Windows-1257 (appended on Windows, say): each line is read
// in its own encoding, and the lines read in the code page are named.
TEST(DecodeText, AUtf8ListIsReadLineByLine) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string text;
    std::vector<std::size_t> ansiLines;
  };
  const Case cases[] = {
      {"one code page line", "ĄŽUOLAS;1\r\n\xC0\xDEUOLAS;2\r\n", "ĄŽUOLAS;1\r\nĄŽUOLAS;2\r\n", {2}},
      {"every break kind, empty lines counted", "a\r\n\xE0\r\rž\n\xE8", "a\r\ną\r\rž\nč", {2, 5}},
      {"a cut-off sequence on the last line", "ž;1\na\xC4", "ž;1\naÄ", {2}},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.what;
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8) << c.what;
    EXPECT_EQ(decoded.ansiLines, c.ansiLines) << c.what;
  }
}

TEST(UnencodableCharacters, NamesWhatTheCodePageLacksOnce) {
  EXPECT_EQ(unencodableCharacters("Žaibas Жук Ж ąčęėįšųūž €", TextEncoding::Ansi),
            (std::vector<std::string>{"Ж", "у", "к"}));
  EXPECT_TRUE(unencodableCharacters("Жук", TextEncoding::Utf8).empty());
  EXPECT_TRUE(unencodableCharacters("Жук", TextEncoding::Utf16Le).empty());
}

TEST(EncodeText, EachEncodingGivesBackWhatItRead) {
  for (TextEncoding encoding : {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf8WithMark,
                                TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
    const std::string bytes = std::string(byteOrderMark(encoding)) + encodeText(kLetters, encoding);
    const DecodedText decoded = decodeText(bytes);
    EXPECT_EQ(decoded.text, kLetters) << static_cast<int>(encoding);
    EXPECT_EQ(decoded.encoding, encoding) << static_cast<int>(encoding);
  }
}

TEST(EncodeText, AnsiBytesAreWindows1257) {
  EXPECT_EQ(encodeText(kLetters, TextEncoding::Ansi), kLettersCp1257);
  EXPECT_EQ(encodeText(kLetters, TextEncoding::Utf16Le), kLettersUtf16Le);
}

TEST(EncodeText, WhatTheAnsiCodePageLacksBecomesAQuestionMark) {
  // Russian, a Czech letter and an emoji are outside Windows-1257; ł, ä and ö are in it.
  EXPECT_EQ(encodeText("Жук řąka 😀 łäö", TextEncoding::Ansi), "??? ?\xE0ka ? \xF9\xE4\xF6");
}

TEST(ByteOrderMark, OnlyTheMarkedEncodingsHaveOne) {
  EXPECT_EQ(byteOrderMark(TextEncoding::Ansi), "");
  EXPECT_EQ(byteOrderMark(TextEncoding::Utf8), "");
  EXPECT_EQ(byteOrderMark(TextEncoding::Utf8WithMark), "\xEF\xBB\xBF");
  EXPECT_EQ(byteOrderMark(TextEncoding::Utf16Le), "\xFF\xFE");
  EXPECT_EQ(byteOrderMark(TextEncoding::Utf16Be), "\xFE\xFF");
}

}  // namespace
}  // namespace kvd507::payers
