#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "payers/PayerLine.h"
#include "payers/TextLines.h"

namespace kvd507::payers {
namespace {

struct LinesCase {
  const char* text;
  std::vector<std::string> lines;
};

TEST(SplitLines, EveryKindOfLineBreak) {
  const LinesCase cases[] = {
      {"", {}},
      {"A", {"A"}},
      {"A\r\nB", {"A", "B"}},
      {"A\rB", {"A", "B"}},
      {"A\nB", {"A", "B"}},
      {"A\r\nB\rC\nD", {"A", "B", "C", "D"}},
      // A break at the very end starts no line, whatever its kind.
      {"A\r\n", {"A"}},
      {"A\r", {"A"}},
      {"A\n", {"A"}},
      // Empty lines in the middle, and an empty last line before the final break, are lines.
      {"A\r\n\r\nB", {"A", "", "B"}},
      {"A\r\n\r\n", {"A", ""}},
      {"\r\nA", {"", "A"}},
      {"\r\n", {""}},
      // LF then CR is two breaks, CR CR too; only CR LF pairs up.
      {"A\n\rB", {"A", "", "B"}},
      {"A\r\rB", {"A", "", "B"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(splitLines(c.text), c.lines) << "text: " << testing::PrintToString(c.text);
  }
}

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

}  // namespace
}  // namespace kvd507::payers
