#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "text/Hex.h"

namespace kvd507::text {
namespace {

TEST(HexDigitValue, EitherCaseAndNothingElse) {
  EXPECT_EQ(hexDigitValue('0'), 0);
  EXPECT_EQ(hexDigitValue('9'), 9);
  EXPECT_EQ(hexDigitValue('a'), 10);
  EXPECT_EQ(hexDigitValue('F'), 15);
  for (const char c : {'g', 'G', 'x', ' ', '/', ':', '@', '`'})
    EXPECT_EQ(hexDigitValue(c), -1) << c;
}

TEST(PercentEscapes, EveryByteGoesThereAndBack) {
  std::string escaped;
  for (int byte = 0; byte < 256; ++byte)
    appendPercentEscape(escaped, static_cast<unsigned char>(byte));
  EXPECT_EQ(escaped.substr(0, 9), "%00%01%02");
  EXPECT_EQ(escaped.substr(escaped.size() - 6), "%FE%FF");
  const std::string decoded = percentDecoded(escaped);
  ASSERT_EQ(decoded.size(), 256u);
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(static_cast<unsigned char>(decoded[static_cast<std::size_t>(byte)]), byte);
  }
}

TEST(PercentDecoded, LeavesWhatIsNoEscapeAsItIs) {
  struct Case {
    std::string_view text;
    std::string_view decoded;
  };
  const Case cases[] = {
      {"", ""},        {"sheet%201.xml", "sheet 1.xml"},
      {"%c4%85", "ą"}, {"100%", "100%"},
      {"%4", "%4"},    {"%4g%41", "%4gA"},
      {"%%41", "%A"},  {"%2541", "%41"},  // decoded once, not twice
  };
  for (const Case& c : cases) EXPECT_EQ(percentDecoded(c.text), c.decoded) << c.text;
}

}  // namespace
}  // namespace kvd507::text
