#include <gtest/gtest.h>

#include "runs/PayerCheck.h"

namespace kvd507::runs {
namespace {

using Kind = rows::Finding::Kind;

TEST(PayerCheck, PersonalCodeCheckDigit) {
  struct Case {
    const char* code;
    bool holds;
  };
  const Case cases[] = {
      {"38001010009", true},  // first weights
      {"38001010015", true},  // first remainder 10, second weights
      {"38001010250", true},  // both remainders 10: the check digit is 0
      {"38001010000", false},
      {"38001010010", false},  // the first weights' 0 is not taken when their remainder is 10
      {"38001010251", false},
      {"3800101000", false},  // ten digits
      {"3800101000a", false},
  };
  for (const Case& c : cases) EXPECT_EQ(personalCodeCheckDigitHolds(c.code), c.holds) << c.code;
}

TEST(PayerCheck, TellsWhatLooksWrongWithThePayerCode) {
  struct Case {
    const char* code;
    std::optional<Kind> kind;
  };
  const Case cases[] = {
      {"123456789", std::nullopt},
      {"38001010009", std::nullopt},
      {"lb_kodas", Kind::NoPayer},
      {"", Kind::OddPayerCode},
      {"12345678", Kind::OddPayerCode},
      {"1234567890", Kind::OddPayerCode},
      {"12345678a", Kind::OddPayerCode},
      {"LT123456789", Kind::OddPayerCode},
      {"38001010000", Kind::PayerCheckDigit},
  };
  for (const Case& c : cases) {
    const std::optional<rows::Finding> finding = checkPayerCode(c.code);
    ASSERT_EQ(finding.has_value(), c.kind.has_value()) << c.code;
    if (!finding) continue;
    EXPECT_EQ(finding->kind, *c.kind) << c.code;
    // Only a declaration without a payer stops a strict run.
    EXPECT_EQ(rows::losesData(finding->kind), *c.kind == Kind::NoPayer) << c.code;
    EXPECT_TRUE(finding->sheet.empty());
  }
  EXPECT_EQ(checkPayerCode("lb_kodas")->describe(),
            "nepasirinktas išmokų mokėtojas; formoje vietoj jo kodo bus \"lb_kodas\"");
}

}  // namespace
}  // namespace kvd507::runs
