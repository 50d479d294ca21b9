#include <gtest/gtest.h>

#include "handover/RunProgress.h"

namespace kvd507::handover {
namespace {

TEST(RunProgress, HandsOverTheLatestValuesOncePerChange) {
  RunProgress progress;
  RunProgress::Snapshot shown;
  EXPECT_FALSE(progress.take(shown));
  progress.setStatus("Patikriname įrašus: 1");
  progress.setStatus("Patikriname įrašus: 2");
  ASSERT_TRUE(progress.take(shown));
  EXPECT_EQ(shown.status, "Patikriname įrašus: 2");
  EXPECT_FALSE(progress.take(shown));  // nothing new since

  progress.setMaximum(3);
  for (int i = 0; i < 4; ++i) progress.step();  // past the maximum it starts again
  ASSERT_TRUE(progress.take(shown));
  EXPECT_EQ(shown.status, "Patikriname įrašus: 2");
  EXPECT_EQ(shown.maximum, 3);
  EXPECT_EQ(shown.position, 0);

  progress.step();
  progress.setPosition(0);
  ASSERT_TRUE(progress.take(shown));
  EXPECT_EQ(shown.position, 0);
}

}  // namespace
}  // namespace kvd507::handover
