#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runs/ChoiceDefaults.h"
#include "text/Clock.h"

namespace kvd507::runs {
namespace {

TEST(YearChoices, RunFromTheFirstYearToNowAndStartAtTheYearThatEnded) {
  struct Case {
    int now;
    std::vector<std::string> years;
    std::string selected;
  };
  const std::vector<Case> cases = {
      {2023, {"2020", "2021", "2022", "2023"}, "2022"},
      {2026, {"2020", "2021", "2022", "2023", "2024", "2025", "2026"}, "2025"},
      {2021, {"2020", "2021"}, "2020"},
      // A clock set far back still leaves a year to choose.
      {1970, {"2020", "2021"}, "2020"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(yearChoices(c.now), c.years) << c.now;
    EXPECT_EQ(defaultYear(c.now), c.selected) << c.now;
  }
  EXPECT_GE(currentCalendarYear(), 2024);
  const text::FixedToday today({2031, 1, 1});
  EXPECT_EQ(currentCalendarYear(), 2031);
}

}  // namespace
}  // namespace kvd507::runs
