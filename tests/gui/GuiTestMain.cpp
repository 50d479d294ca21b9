#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ModalHelper.h"

// The window tests need an application object; they run without a display.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  // Added after the printer, so that it runs before the printer tells the test's result.
  ::testing::UnitTest::GetInstance()->listeners().Append(new kvd507::test::ModalCleanup);
  return RUN_ALL_TESTS();
}
