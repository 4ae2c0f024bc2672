// Test entry: every test program may use real widgets, so a QApplication on
// the offscreen platform exists for the whole run.
#include <QApplication>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  // Exit-code tests re-run this program for their child, so nothing forks
  // from a process that already has Qt's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
