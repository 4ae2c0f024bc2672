# The 32-bit Windows edition, cross-built with mingw-w64 (posix threads):
#   cmake -S . -B build-win32 -G Ninja --toolchain cmake/toolchains/i686-w64-mingw32.cmake
# No emulator: this machine's Wine runs no 32-bit programs, so the tests are
# built but not registered with ctest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(BIXIQIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
