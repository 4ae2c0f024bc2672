// Test entry of the Windows edition: GoogleTest alone, no window toolkit.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // On Windows a test that crashes then ends with the fault's code at once,
  // instead of waiting on the error-reporting dialog. (Under Wine,
  // scripts/wine-run keeps the debugger from starting instead.)
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
