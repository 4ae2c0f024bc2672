// Test entry: every test program may use real widgets, so a QApplication on
// the offscreen platform exists for the whole run.
#include <QApplication>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // File names in the tests are UTF-8 whatever the caller's locale is.
  setenv("LC_ALL", "C.UTF-8", 1);
  testing::InitGoogleTest(&argc, argv);
  // Exit-code tests re-run this program for their child, so nothing forks
  // from a process that already has Qt's threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
