#include <gtest/gtest.h>

#include <thread>

#include "text/Clock.h"

namespace kvd507::text {
namespace {

TEST(Clock, TheSystemCalendarGivesARealDay) {
  const CalendarDate now = today();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1u);
  EXPECT_LE(now.month, 12u);
  EXPECT_GE(now.day, 1u);
  EXPECT_LE(now.day, 31u);
}

TEST(Clock, AFixedDayHoldsOnEveryThreadWhileItLivesAndNests) {
  const long long system = today().number();
  {
    const FixedToday outer({2030, 1, 31});
    EXPECT_EQ(today().number(), 20300131);
    {
      const FixedToday inner({1999, 12, 31});
      CalendarDate seen;
      std::thread([&seen] { seen = today(); }).join();
      EXPECT_EQ(seen.number(), 19991231);
    }
    EXPECT_EQ(today().number(), 20300131);
  }
  // The system's day again (unless the test ran across midnight).
  EXPECT_GE(today().number(), system);
}

}  // namespace
}  // namespace kvd507::text
