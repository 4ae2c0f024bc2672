# The 64-bit Windows edition, cross-built with mingw-w64 (posix threads, for
# std::thread and std::jthread), run here under wine64:
#   cmake -S . -B build-win64 -G Ninja --toolchain cmake/toolchains/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BIXIQIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest and test discovery run the .exe files through Wine (scripts/wine-run).
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run ABSOLUTE)
