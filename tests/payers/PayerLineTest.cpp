#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "payers/PayerLine.h"

namespace kvd507::payers {
namespace {

struct PayerCase {
  const char* line;
  std::optional<Payer> payer;
};

TEST(SplitPayerLine, NameAndCodeAsTheSelectorShowsThem) {
  const PayerCase cases[] = {
      {"A;123", Payer{"A", "123"}},
      {"A", Payer{"A", std::nullopt}},
      {"A;", Payer{"A", std::nullopt}},
      {"A;;123", Payer{"A", ""}},
      {"A;;", Payer{"A", ""}},
      {"A;B;123", Payer{"A", "B"}},
      {";123", Payer{"", "123"}},
      {";", Payer{"", std::nullopt}},
      {"", std::nullopt},
      {" UAB Alfa ; 123 ", Payer{" UAB Alfa ", " 123 "}},
      {"UAB \"Žiedas\";302123456", Payer{"UAB \"Žiedas\"", "302123456"}},
  };
  for (const PayerCase& c : cases) {
    EXPECT_EQ(splitPayerLine(c.line), c.payer) << "line: " << testing::PrintToString(c.line);
  }
}

TEST(SplitPayerLine, ANameTypedWithASeparatorComesBackCutThere) {
  EXPECT_EQ(splitPayerLine(joinPayerLine("Alfa;Beta", "123")), (Payer{"Alfa", "Beta"}));
}

TEST(FindLineBreaker, RefusesWhatWouldTakeTheLineApart) {
  struct Case {
    std::string text;
    std::optional<LineBreaker> breaker;
  };
  const Case cases[] = {
      {"UAB \"Ąžuolų šviesa\" & Co", std::nullopt},
      {" ", std::nullopt},
      {"\xC2\xA0no-break space, \xC2\xA9", std::nullopt},  // U+00A0 and U+00A9 are no controls
      {"A;B", LineBreaker::kSeparator},
      {"A\nB", LineBreaker::kLineBreak},
      {"A\r", LineBreaker::kLineBreak},
      {"A\tB", LineBreaker::kControl},
      {std::string("A\0B", 3), LineBreaker::kControl},
      {"A\x7F", LineBreaker::kControl},
      {"A\xC2\x85", LineBreaker::kControl},  // U+0085, next line
      {"A\xC2\x9F", LineBreaker::kControl},
      {"\t;\n", LineBreaker::kSeparator},  // the first of the list counts
  };
  for (const Case& c : cases) {
    EXPECT_EQ(findLineBreaker(c.text), c.breaker) << testing::PrintToString(c.text);
  }
  EXPECT_EQ(lineBreakerText(LineBreaker::kSeparator), "negali būti kabliataškio (;)");
}

}  // namespace
}  // namespace kvd507::payers
