#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// The window tests need an application object; they run without a display.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
