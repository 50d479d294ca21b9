#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runs/FindingCollector.h"

namespace kvd507::runs {
namespace {

using rows::Finding;

TEST(MoreFindingsText, CountsWithSpacesBetweenThousands) {
  const std::vector<std::pair<std::size_t, std::string>> cases = {
      {1, "ir dar 1 tokių pastabų"},
      {999, "ir dar 999 tokių pastabų"},
      {1000, "ir dar 1 000 tokių pastabų"},
      {1234567, "ir dar 1 234 567 tokių pastabų"},
  };
  for (const auto& [count, text] : cases) EXPECT_EQ(moreFindingsText(count), text);
}

// Each kind is held to its own thousand, whatever the kinds are; the count of the rest follows
// the last one kept of its kind, and kinds within their thousand are kept whole.
TEST(FindingCollector, KeepsAThousandOfEachKindAndCountsTheRest) {
  FindingCollector collector;
  const auto kind = [](int i) { return static_cast<Finding::Kind>(i); };
  for (std::uint32_t row = 1; row <= 2500; ++row) {
    collector.add({kind(0), "L", row, "H", "a"});
    if (row % 2 == 0) collector.add({kind(1), "U", row, {}, "b"});
    if (row == 7) collector.add({kind(2), {}, 0, {}, "c"});
  }
  const std::vector<Finding> all = collector.findings();
  ASSERT_EQ(all.size(), 1000u + 1 + 1000 + 1 + 1);

  std::vector<std::size_t> perKind(3);
  for (const Finding& f : all) ++perKind[static_cast<std::size_t>(f.kind)];
  EXPECT_EQ(perKind, (std::vector<std::size_t>{1001, 1001, 1}));

  // The thousandth of kind 0 is row 1000, and the thousandth of kind 1 row 2000, after it.
  const auto at = [&all](const Finding& f) {
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (all[i].kind == f.kind && all[i].row == f.row && all[i].text == f.text) return i;
    }
    return all.size();
  };
  const std::size_t more0 = at({kind(0), {}, 0, {}, "ir dar 1 500 tokių pastabų"});
  const std::size_t more1 = at({kind(1), {}, 0, {}, "ir dar 250 tokių pastabų"});
  ASSERT_LT(more0, all.size());
  ASSERT_LT(more1, all.size());
  EXPECT_EQ(all[more0 - 1].row, 1000u);
  EXPECT_EQ(all[more1 - 1].row, 2000u);
  EXPECT_EQ(more1, all.size() - 1);
  EXPECT_EQ(all[more0].describe(), "ir dar 1 500 tokių pastabų");
}

}  // namespace
}  // namespace kvd507::runs
