#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "rows/KeyIndex.h"

namespace kvd507::rows {
namespace {

TEST(KeyIndex, GivesTheLatestRowOfAHashAndTheOneBeforeIt) {
  KeyIndex index;
  EXPECT_EQ(index.find(7), KeyIndex::kNone);
  EXPECT_EQ(index.add(7, 0), KeyIndex::kNone);
  EXPECT_EQ(index.add(8, 1), KeyIndex::kNone);
  EXPECT_EQ(index.add(7, 2), 0U);
  EXPECT_EQ(index.find(7), 2U);
  EXPECT_EQ(index.find(8), 1U);
  EXPECT_EQ(index.find(9), KeyIndex::kNone);
  index.clear();
  EXPECT_EQ(index.find(7), KeyIndex::kNone);
  EXPECT_EQ(index.add(7, 5), KeyIndex::kNone);
}

struct Spread {
  const char* name;
  std::function<std::size_t(std::size_t)> hashOf;
};

void PrintTo(const Spread& spread, std::ostream* out) {
  *out << spread.name;
}

class KeyIndexSpreadTest : public testing::TestWithParam<Spread> {};

// Every hash stays findable through growth, however the hashes fall on the slots.
TEST_P(KeyIndexSpreadTest, FindsEveryRowAfterGrowing) {
  const auto& hashOf = GetParam().hashOf;
  constexpr std::size_t kRows = 100'000;
  KeyIndex index;
  for (std::size_t row = 0; row < kRows; ++row) {
    ASSERT_EQ(index.add(hashOf(row), row), KeyIndex::kNone) << row;
  }
  for (std::size_t row = 0; row < kRows; ++row) ASSERT_EQ(index.find(hashOf(row)), row) << row;
  EXPECT_EQ(index.find(hashOf(kRows)), KeyIndex::kNone);
}

INSTANTIATE_TEST_SUITE_P(
    Hashes, KeyIndexSpreadTest,
    testing::Values(Spread{"Consecutive", [](std::size_t i) { return i; }},
                    Spread{"HighBitsOnly", [](std::size_t i) { return i << 40; }},
                    Spread{"SameLowBits", [](std::size_t i) { return (i << 20) | 0xABCDE; }},
                    Spread{
                        "OfTexts",
                        [](std::size_t i) { return std::hash<std::string>{}(std::to_string(i)); }}),
    [](const testing::TestParamInfo<Spread>& test) { return test.param.name; });

}  // namespace
}  // namespace kvd507::rows
