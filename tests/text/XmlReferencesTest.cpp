#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/CaseName.h"
#include "text/XmlReferences.h"

namespace kvd507::text {
namespace {

struct DecodeCase {
  const char* what;
  std::string text;
  std::string decoded;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
  *out << c.what;
}

class DecodeXmlTextTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeXmlTextTest, DecodesOnlyReferencesXmlAccepts) {
  EXPECT_EQ(decodeXmlText(GetParam().text), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeXmlTextTest,
    testing::Values(DecodeCase{"empty", "", ""},
                    DecodeCase{"escaped entity", "A&amp;amp;B", "A&amp;B"},
                    DecodeCase{"the five entities", "&lt;&gt;&quot;&apos;&amp;", "<>\"'&"},
                    DecodeCase{"decimal and hexadecimal references", "&#62;&#x3E;&#x3e;&#0062;",
                               ">>>>"},
                    DecodeCase{"references to line breaks tab and delete", "&#10;&#13;&#9;&#127;",
                               "\n\r\t\x7F"},
                    DecodeCase{"references beyond ASCII", "&#261;&#x10FFFF;", "ą\U0010FFFF"},
                    DecodeCase{"what XML does not accept stays",
                               "AT&T &bogus; &nbsp; &#0; &#xFFFE; &#x110000; &#; &#X3E; &amp",
                               "AT&T &bogus; &nbsp; &#0; &#xFFFE; &#x110000; &#; &#X3E; &amp"},
                    DecodeCase{"lone ampersands", "&&amp;&", "&&&"}),
    test::NamedAfterWhat());

// How a character reference reads, and where a malformed one went wrong: the sheet reader turns
// each status into its own error at that place, and a text cut off inside a reference must ask
// for more rather than fail.
TEST(ReadCharacterReference, TellsCompleteCutOffMalformedAndForbidden) {
  using Status = CharacterReference::Status;
  struct Case {
    std::string_view text;
    Status status;
    std::size_t length;  // the reference's, or the offset of the byte that breaks it
    char32_t code;
  };
  const Case cases[] = {
      {"&#65;", Status::kComplete, 5, U'A'},
      {"&#x41;rest", Status::kComplete, 6, U'A'},
      {"&#xaB;", Status::kComplete, 6, 0xAB},
      {"&#x10FFFF;", Status::kComplete, 10, 0x10FFFF},
      {"&#", Status::kCutOff, 0, 0},
      {"&#x", Status::kCutOff, 0, 0},
      {"&#12", Status::kCutOff, 0, 0},
      {"&#;", Status::kMalformed, 2, 0},
      {"&#x;", Status::kMalformed, 3, 0},
      {"&#12a;", Status::kMalformed, 4, 0},
      {"&#X41;", Status::kMalformed, 2, 0},  // only a lower-case x makes it hexadecimal
      {"&#0;", Status::kNotACharacter, 0, 0},
      {"&#xD800;", Status::kNotACharacter, 0, 0},
      {"&#xFFFE;", Status::kNotACharacter, 0, 0},
      {"&#x110000;", Status::kNotACharacter, 0, 0},
      // Too large before the text even ends: no run of digits can overflow the count.
      {"&#99999999999999999999", Status::kNotACharacter, 0, 0},
  };
  for (const Case& c : cases) {
    const CharacterReference reference = readCharacterReference(c.text);
    EXPECT_EQ(reference.status, c.status) << c.text;
    EXPECT_EQ(reference.length, c.length) << c.text;
    EXPECT_EQ(reference.code, c.code) << c.text;
  }
}

TEST(PredefinedEntity, KnowsTheFiveNamesExactly) {
  EXPECT_EQ(predefinedEntity("amp"), '&');
  EXPECT_EQ(predefinedEntity("lt"), '<');
  EXPECT_EQ(predefinedEntity("gt"), '>');
  EXPECT_EQ(predefinedEntity("quot"), '"');
  EXPECT_EQ(predefinedEntity("apos"), '\'');
  for (const std::string_view name : {"", "AMP", "am", "ampx", "nbsp"}) {
    EXPECT_EQ(predefinedEntity(name), std::nullopt) << name;
  }
}

}  // namespace
}  // namespace kvd507::text
